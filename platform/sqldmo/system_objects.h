// The factory of the real SQL management objects.
#pragma once

#include "platform/core/sqldmo.h"

namespace tallyrun::sqldmo {

class SystemObjectFactory : public ObjectFactory {
public:
    std::unique_ptr<Object> CreateObject(std::string_view progId) override;
};

}  // namespace tallyrun::sqldmo
