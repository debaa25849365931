// Must not compile: CButton has no run-time class of its own, and the test would
// answer for it as for any window.
#include "framework/controls.h"

bool IsButton(const CWnd& window)
{
    return window.IsKindOf<CButton>();
}
