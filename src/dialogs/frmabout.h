#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class Twips;

// The about box: shown modally by the frame's About command, a new one each time.
class frmabout : public QDialog
{
    Q_OBJECT
public:
    frmabout(const Twips &twips, QWidget *parent = nullptr);

    void Command1_Click();

    QLabel *Image1;
    QLabel *Image2;
    QLabel *Image3;
    QLabel *Image4;
    QFrame *Shape1;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QPushButton *Command1;
};
