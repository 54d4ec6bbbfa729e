// The text reference: the bare window plus what any program with a typing box and
// captioned buttons pays for fonts and text layout: one QPlainTextEdit, five
// captioned QPushButtons and one QLabel, at the places of the program's own.
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(803, 525);
    (new QPlainTextEdit(&window))->setGeometry(250, 184, 449, 241);
    const struct {
        const char* caption;
        QRect place;
    } buttons[] = {{"Get Code", {248, 120, 129, 33}},
                   {"Emotions", {408, 120, 129, 33}},
                   {"Help", {568, 120, 129, 33}},
                   {"About", {16, 304, 217, 41}},
                   {"Contact Me", {16, 344, 217, 41}}};
    for (const auto& button : buttons)
        (new QPushButton(QString::fromLatin1(button.caption), &window))->setGeometry(button.place);
    (new QLabel(QStringLiteral("Copyright \u00A9 2012 Orvane. All rights reserved."), &window))
        ->setGeometry(0, 504, 801, 17);
    window.show();
    return app.exec();
}
