#pragma once

#include <QUrl>
#include <string>
#include <string_view>

QT_BEGIN_NAMESPACE
class QLabel;
QT_END_NAMESPACE

namespace bivane {

// What the maker's e-mail link opens: "mailto:" and the address that the
// link labels show.
std::string MailLink();

// The address a link text stands for: a text without a scheme (a bare host
// name such as "www.example.org") is a web address, "http://" in front;
// a text with one ("mailto:...", "https://...") stands as it is.
QUrl LinkUrl(std::string_view target);

// Hands the link to the desktop, which opens it with the program registered
// for it (the web browser, the mail program). Returns at once; whether the
// desktop could open it is not checked: a link that leads nowhere is simply
// a click without effect.
void OpenLink(std::string_view target);

// Makes `label` a link: a left click on it opens `target`, and the pointer
// shows a hand over it. The label keeps its own text, font and colour.
void OpenLinkOnClick(QLabel& label, std::string target);

}  // namespace bivane
