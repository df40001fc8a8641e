#include "platform/gui/QtDialogs.h"

#include "platform/gui/ControlWidget.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

TMessageBoxLayout MessageBoxLayoutFor(int flags) {
    TMessageBoxLayout layout;
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        layout.buttons = {IDOK, IDCANCEL};
        layout.escapeButton = IDCANCEL;
        break;
    case MB_ABORTRETRYIGNORE:
        layout.buttons = {IDABORT, IDRETRY, IDIGNORE};
        break;
    case MB_YESNOCANCEL:
        layout.buttons = {IDYES, IDNO, IDCANCEL};
        layout.escapeButton = IDCANCEL;
        break;
    case MB_YESNO:
        layout.buttons = {IDYES, IDNO};
        break;
    case MB_RETRYCANCEL:
        layout.buttons = {IDRETRY, IDCANCEL};
        layout.escapeButton = IDCANCEL;
        break;
    default:
        layout.buttons = {IDOK};
        layout.escapeButton = IDOK;
        break;
    }
    // A default beyond the last button falls back to the first.
    const size_t def = static_cast<size_t>((flags & MB_DEFMASK) >> 8);
    layout.defaultButton = layout.buttons[def < layout.buttons.size() ? def : 0];
    switch (flags & MB_ICONMASK) {
    case MB_ICONHAND:
        layout.icon = TMessageIcon::Error;
        break;
    case MB_ICONQUESTION:
        layout.icon = TMessageIcon::Question;
        break;
    case MB_ICONEXCLAMATION:
        layout.icon = TMessageIcon::Warning;
        break;
    case MB_ICONASTERISK:
        layout.icon = TMessageIcon::Information;
        break;
    default:
        layout.icon = TMessageIcon::None;
        break;
    }
    return layout;
}

AnsiString MessageButtonText(int button) {
    switch (button) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Annulla";
    case IDYES:
        return "S\xEC";
    case IDNO:
        return "No";
    case IDABORT:
        return "Interrompi";
    case IDRETRY:
        return "Riprova";
    case IDIGNORE:
        return "Ignora";
    default:
        return AnsiString();
    }
}

namespace {

QMessageBox::Icon ToQtIcon(TMessageIcon icon) {
    switch (icon) {
    case TMessageIcon::Error:
        return QMessageBox::Critical;
    case TMessageIcon::Question:
        return QMessageBox::Question;
    case TMessageIcon::Warning:
        return QMessageBox::Warning;
    case TMessageIcon::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::ButtonRole RoleOf(int button) {
    switch (button) {
    case IDOK:
    case IDYES:
    case IDRETRY:
        return QMessageBox::AcceptRole;
    case IDCANCEL:
    case IDABORT:
        return QMessageBox::RejectRole;
    case IDNO:
        return QMessageBox::NoRole;
    default:
        return QMessageBox::ActionRole;
    }
}

int RunBox(const AnsiString& text, const AnsiString& caption, const TMessageBoxLayout& layout) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(ToQString(caption));
    box.setText(ToQString(text));
    box.setIcon(ToQtIcon(layout.icon));
    std::vector<std::pair<QAbstractButton*, int>> buttons;
    for (int id : layout.buttons) {
        QPushButton* b = box.addButton(ToQString(MessageButtonText(id)), RoleOf(id));
        buttons.emplace_back(b, id);
        if (id == layout.defaultButton) box.setDefaultButton(b);
        if (id == layout.escapeButton) box.setEscapeButton(b);
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const auto& [b, id] : buttons)
        if (b == clicked) return id;
    return layout.escapeButton ? layout.escapeButton : IDCANCEL;
}

} // namespace

int TQtDialogs::MessageBox(const AnsiString& text, const AnsiString& caption, int flags) {
    return RunBox(text, caption, MessageBoxLayoutFor(flags));
}

void TQtDialogs::ShowMessage(const AnsiString& text, const AnsiString& caption) {
    RunBox(text, caption, MessageBoxLayoutFor(MB_OK));
}

bool TQtDialogs::InputQuery(const AnsiString& caption, const AnsiString& prompt,
                            AnsiString& value) {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(ToQString(caption));
    dialog.setLabelText(ToQString(prompt));
    dialog.setTextValue(ToQString(value));
    dialog.setOkButtonText(ToQString(MessageButtonText(IDOK)));
    dialog.setCancelButtonText(ToQString(MessageButtonText(IDCANCEL)));
    if (dialog.exec() != QDialog::Accepted) return false;
    value = FromQString(dialog.textValue());
    return true;
}

void TQtDialogs::Beep() {
    QApplication::beep();
}

void TQtDialogs::ShowException(const AnsiString& message, const AnsiString& caption) {
    RunBox(message, caption, MessageBoxLayoutFor(MB_OK | MB_ICONHAND));
}
