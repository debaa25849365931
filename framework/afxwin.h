// The framework in one include.
#pragma once
#include "accessible.h"
#include "controls.h"
#include "cstring.h"
#include "ctime.h"
#include "dialog.h"
#include "gdi.h"
#include "msgmap.h"
#include "regkey.h"
#include "sync.h"
#include "systext.h"
#include "winapp.h"
#include "wnd.h"
