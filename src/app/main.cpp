#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("単価変更"));
    window.setFixedSize(792, 551);
    window.show();
    return app.exec();
}
