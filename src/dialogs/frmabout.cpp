#include "dialogs/frmabout.h"

#include "dialogs/AboutPictures.h"
#include "forms/Controls.h"
#include "forms/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

namespace {

QLabel *picture(QWidget *parent, const QString &name, const QPixmap &pixmap)
{
    auto *label = named(new QLabel(parent), name, name);
    label->setPixmap(pixmap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLabel *text(QWidget *parent, const QString &name, const QString &caption)
{
    auto *label = named(new QLabel(caption, parent), name, caption);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

frmabout::frmabout(const Twips &twips, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                              | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmabout"));
    setWindowTitle(QString());
    setModal(true);
    setFixedSize(twips.toPx(5685), twips.toPx(3285));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(148, 182, 231));
    colours.setColor(QPalette::WindowText, QColor(0, 0, 64));
    setPalette(colours);
    setAutoFillBackground(true);

    Image1 = picture(this, QStringLiteral("Image1"), AboutPictures::Globe());
    Image2 = picture(this, QStringLiteral("Image2"), AboutPictures::Windows());
    Image3 = picture(this, QStringLiteral("Image3"), AboutPictures::Prompt());
    Image4 = picture(this, QStringLiteral("Image4"), AboutPictures::Banner());
    // The frame first, so the labels lie on top of it.
    Shape1 = named(new QFrame(this), QStringLiteral("Shape1"), QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    Label1 = text(this, QStringLiteral("Label1"),
                  QStringLiteral("Orvane 2 can understand when a new window will be loaded "
                                 "and prompt user......"));
    Label2 = text(this, QStringLiteral("Label2"), QStringLiteral("Written with Qt and libcurl."));
    Label3 = text(this, QStringLiteral("Label3"),
                  QStringLiteral("Thanks to everyone who tried the early builds and "
                                 "reported what broke."));
    Command1 = named(new QPushButton(QStringLiteral("Close"), this), QStringLiteral("Command1"),
                     QStringLiteral("Close"));
    Command1->setDefault(true);

    place(Image1, twips, 120, 120, 720, 720);
    place(Image2, twips, 120, 1200, 720, 720);
    place(Image3, twips, 120, 2400, 720, 720);
    place(Image4, twips, 960, 240, 4500, 750);
    place(Shape1, twips, 960, 1200, 4575, 1575);
    place(Label1, twips, 1080, 1320, 4335, 495);
    place(Label2, twips, 1080, 1800, 4335, 255);
    place(Label3, twips, 1080, 2160, 4335, 495);
    place(Command1, twips, 4080, 2880, 1455, 375);

    connect(Command1, &QPushButton::clicked, this, &frmabout::Command1_Click);
}

void frmabout::Command1_Click()
{
    accept();
}
