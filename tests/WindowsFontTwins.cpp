// Linked into the Qt-based tests of the Windows build. On Linux fontconfig
// draws the Windows faces the forms name with their metric twins; Qt for
// Windows, offscreen, reads one font folder and has no such table. The tests
// get the same one, so that they lay text out as they do on Linux.

#include <QFont>

namespace {

const bool twins = [] {
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Helvetica"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("Courier"), QStringLiteral("Liberation Mono"));
    for (const char* face : {"MS Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2", "Tahoma", "Verdana",
                             "Segoe UI"})
        QFont::insertSubstitution(QString::fromLatin1(face), QStringLiteral("DejaVu Sans"));
    return true;
}();

} // namespace
