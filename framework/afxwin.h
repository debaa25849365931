// The framework in one include.
#pragma once
#include "cstring.h"
#include "ctime.h"
#include "regkey.h"
#include "winapp.h"
#include "wnd.h"
