#include "ui/startup_window.h"

#include <QFrame>
#include <QMessageBox>
#include <QThread>
#include <QVBoxLayout>
#include <cstdio>

#include "ui/qt_text.h"

namespace tarvo::ui {

StartupWindow::StartupWindow(QWidget* parent) : QWidget(parent) {
    setObjectName("frmStartup");
    setWindowTitle("Tarvo");
    auto* outer = new QVBoxLayout(this);
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* box = new QVBoxLayout(frame);
    auto* logo = new QLabel("Tarvo", frame);
    logo->setObjectName("imgLogo");
    QFont f = logo->font();
    f.setPointSize(f.pointSize() * 2);
    f.setBold(true);
    logo->setFont(f);
    box->addWidget(logo);
    for (int i = 0; i < 4; ++i) {
        lines_[i] = new QLabel(frame);
        lines_[i]->setObjectName(QString("Lbl_Process_%1").arg(i));
        lines_[i]->setMinimumWidth(360);
        box->addWidget(lines_[i]);
    }
    outer->addWidget(frame);
}

void StartupWindow::SetLine(int line, std::string_view text) {
    if (line < 0 || line > 3) return;
    lines_[line]->setText(FromCore(text));
    lines_[line]->repaint();
}

QString StartupWindow::Line(int line) const { return (line < 0 || line > 3) ? QString() : lines_[line]->text(); }

QStringList& MessageBoxesShown() {
    static QStringList shown;
    return shown;
}

void ShowMessageBox(QWidget* parent, std::string_view text, std::string_view title) {
    MessageBoxesShown().append(FromCore(text));
    if (qEnvironmentVariableIsSet("TARVO_NONINTERACTIVE")) {
        std::printf("MESSAGE: %s\n", FromCore(text).toUtf8().constData());
        std::fflush(stdout);
        return;
    }
    QMessageBox::information(parent, title.empty() ? QStringLiteral("Tarvo") : FromCore(title), FromCore(text));
}

namespace {
template <typename F>
void OnGuiThread(QObject* target, F f) {
    if (QThread::currentThread() == target->thread())
        f();
    else
        QMetaObject::invokeMethod(target, f, Qt::BlockingQueuedConnection);
}
}  // namespace

void GuiStartupView::ProgressLine(int line, const std::string& text) {
    OnGuiThread(window_, [&] { window_->SetLine(line, text); });
}

void GuiStartupView::MessageBox(const std::string& text) {
    OnGuiThread(window_, [&] { ShowMessageBox(window_, text); });
}

}  // namespace tarvo::ui
