#include "resources/application_icon.h"

#include <QImage>
#include <QPixmap>
#include <QResource>
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

    // Raw pixels rather than PNG: decoding would have Qt scan its image plugins first, which costs the window's
    // first appearance more than drawing it does.
    QIcon icon;
    for (int size : std::array{16, 32, 48}) {
        const QByteArray pixels = QResource(QStringLiteral(":/tallyrun/icons/tallyrun-%1.rgba").arg(size))
                                      .uncompressedData();
        if (pixels.size() != qsizetype{size} * size * 4)
            continue;
        const QImage image(reinterpret_cast<const uchar*>(pixels.constData()), size, size, size * 4,
                           QImage::Format_RGBA8888);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

}  // namespace tallyrun
