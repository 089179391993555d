// Asking the game to stop from outside: SIGINT (Ctrl+C in a terminal) and SIGTERM (a session
// ending, `kill`) only raise a flag here. The main loop polls it every pass and closes the game
// the normal way (so the settings are saved as on any exit); loaders that can take long poll it
// between items and give up early. The handler does nothing else, since a signal may arrive
// anywhere, even inside malloc.
#pragma once

// Installs the handlers for SIGINT and SIGTERM. Call before SDL starts, so that SDL keeps
// ours instead of installing its own.
void InstallStopSignals();

// True once a stop was asked for (by a signal or RequestStop).
bool StopRequested();

// Raises the flag as a signal would (tests); ClearStopRequest lowers it again.
void RequestStop();
void ClearStopRequest();
