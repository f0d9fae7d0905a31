// The whole framework layer.
#pragma once
#include "base.h"
#include "types.h"
#include "text.h"
#include "wnd.h"
#include "gdi.h"
#include "controls.h"
#include "dialog.h"
#include "app.h"
