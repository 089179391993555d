// Background work that must not hold up the frames (pictures decoded behind the logo) runs on
// threads below the frame thread's priority.
#pragma once

// Lowers the calling thread's scheduling priority a few steps. Where the system cannot, the
// thread keeps its priority: the work is the same, only its share of a busy machine differs.
void LowerThisThreadPriority();
