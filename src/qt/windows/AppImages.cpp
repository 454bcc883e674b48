#include "AppImages.h"

// Resources compiled into a static library are registered by hand: nothing else in
// the library refers to them, so the linker would otherwise leave them out.
static void RegisterAppResources() {
    Q_INIT_RESOURCE(app);
}

namespace mb::qt {

namespace {

QString ResourcePath(const QString& name) {
    static const bool registered = [] {
        RegisterAppResources();
        return true;
    }();
    (void)registered;
    return QStringLiteral(":/images/%1.svg").arg(name);
}

} // namespace

QIcon appIcon(const QString& name) {
    return QIcon(ResourcePath(name));
}

QPixmap appPixmap(const QString& name, int size) {
    return appIcon(name).pixmap(size, size);
}

} // namespace mb::qt
