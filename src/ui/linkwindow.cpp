#include "ui/linkwindow.h"

#include "console/console.h"
#include "link/resultcodes.h"

namespace pkivo {

QString LinkWindow::statusText() const {
    const LinkGlobals& g = m_console.link.globals();
    return QString::fromLatin1(result::statusLine(g.errcode, g.errtext).c_str());
}

LinkWindow::DisabledWhile::DisabledWhile(const std::vector<QWidget*>& widgets) {
    for (QWidget* widget : widgets) {
        widget->setEnabled(false);
        m_widgets.emplace_back(widget);
    }
}

LinkWindow::DisabledWhile::~DisabledWhile() {
    for (const QPointer<QWidget>& widget : m_widgets) {
        if (widget) {
            widget->setEnabled(true);
        }
    }
}

void LinkWindow::missingControl(const QString& name) {
    qFatal("the form has no control %s", qPrintable(name));
}

} // namespace pkivo
