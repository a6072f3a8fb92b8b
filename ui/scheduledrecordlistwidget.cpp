#include "scheduledrecordlistwidget.h"
