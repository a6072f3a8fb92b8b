#include "customfilesystemmodel.h"
