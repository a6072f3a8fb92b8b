#include "dirview.h"
