#include "guidepage.h"
