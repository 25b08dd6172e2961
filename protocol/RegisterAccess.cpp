#include "protocol/RegisterAccess.h"

std::shared_ptr<tRegisterAccess> DriverAccess;
