#pragma once
// The up-down arrows live with the other platform controls, where the dialogs reach them too.
#include "platform/UpDown.h"
