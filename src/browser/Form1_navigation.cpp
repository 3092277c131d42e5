// The address bar, its history and the two toolbars.
#include "browser/Form1.h"

#include "browser/TypedAddress.h"
#include "browser/WebBrowser.h"

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QTimer>

void Form1::cmbadress_Click()
{
    gnet_ButtonClick(1);
}

void Form1::cmbadress_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        gnet_ButtonClick(1);
}

void Form1::gnet_ButtonClick(int index)
{
    if (index == 1) {
        // Go Net.
        const QString text = cmbadress->currentText();
        if (text.isEmpty())
            return;
        // Words that are no address are looked up with the search address.
        wb->Navigate(AddressToOpen(text, frame()->searchAddress()));
        cmbadress->lineEdit()->setModified(false); // sent: the page's address may show
        frame()->progressTimer()->start();
        if (IsInHistory(text))
            return;
        cmbadress->addItem(text);
        // Adding the first entry must not replace what the box shows.
        cmbadress->setEditText(text);
        gnetButtons.at(2)->setEnabled(true);
    } else if (index == 3) {
        // The download lets timers and scripts run; this window may be closed
        // meanwhile, and must outlive the handler that asked.
        Hold hold(this);
        frame()->EditPageSource(cmbadress->currentText());
    }
}

bool Form1::IsInHistory(const QString &url) const
{
    for (int i = 0; i < cmbadress->count(); ++i)
        if (cmbadress->itemText(i) == url)
            return true;
    return false;
}

QStringList Form1::history() const
{
    QStringList entries;
    for (int i = 0; i < cmbadress->count(); ++i)
        entries.append(cmbadress->itemText(i));
    return entries;
}

void Form1::Toolbar1_ButtonClick(int index)
{
    if (index >= int(Command::Back) && index <= int(Command::Properties))
        run(Command(index));
}

void Form1::run(Command command)
{
    switch (command) {
    case Command::Back: wb->GoBack(); break;
    case Command::Forward: wb->GoForward(); break;
    case Command::Stop: wb->Stop(); break;
    case Command::Home: wb->GoHome(); break;
    case Command::Refresh: wb->Refresh(); break;
    case Command::Save: wb->ExecWB(WebBrowser::SaveAs, 1); break;
    case Command::Print: wb->ExecWB(WebBrowser::Print, 1); break;
    case Command::Find: wb->ExecWB(WebBrowser::Find, 0); break;
    case Command::Properties: wb->ExecWB(WebBrowser::Properties, 1); break;
    }
}

void Form1::Toolbar1_MouseDown(int button)
{
    if (button != 2)
        return;
    frame()->popupIconSizeMenu(QCursor::pos());
}

void Form1::Toolbar1_MouseMove()
{
    frame()->resetSectionButtons();
}
