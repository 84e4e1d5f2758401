#include "interchange/OperationWatcher.h"
