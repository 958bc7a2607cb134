#include "training/Training.h"
