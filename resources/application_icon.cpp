#include "resources/application_icon.h"

#include <QString>

#include <array>

// The resource is compiled into a static library, where nothing would otherwise pull its registration in; the macro
// has to be used outside any namespace.
static void RegisterIconResource()
{
    Q_INIT_RESOURCE(tallyrun);
}

namespace tallyrun {

QIcon ApplicationIcon()
{
    static const bool registered = (RegisterIconResource(), true);
    (void)registered;

    QIcon icon;
    for (int size : std::array{16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/tallyrun/icons/tallyrun-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace tallyrun
