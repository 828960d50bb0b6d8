#include "runtime/qt/AppIcon.h"

#include "runtime/qt/RuntimeState.h"

namespace vantorel::qt {

QImage appIcon(int size)
{
    const QImage picture = pictureImage(Picture::Crosshair);
    if (picture.isNull())
        return picture;
    return picture.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace vantorel::qt
