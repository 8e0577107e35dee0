#include "platform/sqldmo/system_objects.h"

namespace tallyrun::sqldmo {

std::unique_ptr<Object> SystemObjectFactory::CreateObject(std::string_view progId)
{
    throw Error(errc::CannotCreateObject, "Cannot create object " + std::string(progId));
}

}  // namespace tallyrun::sqldmo
