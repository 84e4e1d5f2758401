#include "document/DocumentNotifier.h"
