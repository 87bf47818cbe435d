#include "settings/win_sys.h"
