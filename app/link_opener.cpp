#include "app/link_opener.h"
#include "runtime/qt_text.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QObject>

#include "heading/main_window_text.h"

namespace bivane {
namespace {

// Watches a label's mouse events and opens the link on a left click that
// is released over the label.
class LinkClickFilter final : public QObject {
  public:
    LinkClickFilter(QLabel& label, std::string target)
        : QObject(&label), m_label(label), m_target(std::move(target)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_label && event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton &&
                m_label.rect().contains(mouse->position().toPoint())) {
                OpenLink(m_target);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QLabel& m_label;
    const std::string m_target;
};

}  // namespace

std::string MailLink() {
    return "mailto:" + std::string(kMailAddress);
}

QUrl LinkUrl(std::string_view target) {
    const QString text = FromStd(target).trimmed();
    QUrl url(text);
    if (url.scheme().isEmpty()) {
        url = QUrl(QStringLiteral("http://") + text);
    }
    return url;
}

void OpenLink(std::string_view target) {
    // The desktop starts the browser or mail program on its own; its answer
    // tells nothing the user could act on.
    static_cast<void>(QDesktopServices::openUrl(LinkUrl(target)));
}

void OpenLinkOnClick(QLabel& label, std::string target) {
    label.setCursor(Qt::PointingHandCursor);
    label.installEventFilter(new LinkClickFilter(label, std::move(target)));
}

}  // namespace bivane
