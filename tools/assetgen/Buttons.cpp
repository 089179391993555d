#include "Families.h"

TDrawFn ButtonArt(TButton button) {
    return [button](const TTile& t) {
        DrawButton(t.Cr, {0, 0, double(t.W), double(t.H)}, button, LookOf(t.Pattern));
    };
}
