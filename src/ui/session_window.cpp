#include "ui/session_window.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "ui/window_controls.h"

namespace tarvo::ui {

namespace {

// The designed window, in pixels.
constexpr int kWidth = 560;
constexpr int kHeight = 436;
constexpr int kPicture = 16;
constexpr int kPictureStep = 18;
constexpr int kRowStep = 28;
constexpr int kRowHeight = 22;
constexpr double kPoints = 10;

// The four pictures: under way, done, failed, nothing to send.
QPixmap PictureOf(int which) {
    QPixmap pix(kPicture, kPicture);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    switch (which) {
    case 0: {  // an arrow pointing at the row
        QPainterPath path;
        path.moveTo(2, 6);
        path.lineTo(8, 6);
        path.lineTo(8, 2);
        path.lineTo(14, 8);
        path.lineTo(8, 14);
        path.lineTo(8, 10);
        path.lineTo(2, 10);
        path.closeSubpath();
        p.fillPath(path, QColor(0, 70, 200));
        break;
    }
    case 1:  // a check
        p.setPen(QPen(QColor(0, 140, 40), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
        break;
    case 2:  // a cross
        p.setPen(QPen(QColor(210, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3, 3), QPointF(13, 13));
        p.drawLine(QPointF(13, 3), QPointF(3, 13));
        break;
    default:  // nothing to send: an empty circle
        p.setPen(QPen(QColor(120, 120, 120), 1.5));
        p.drawEllipse(QRectF(3, 3, 10, 10));
        break;
    }
    return pix;
}

}  // namespace

QtSessionWindow::QtSessionWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("frmCommunication");
    setWindowTitle(kSessionCaption);
    setFixedSize(kWidth, kHeight);
    setModal(false);
    QFont font = this->font();
    font.setPointSizeF(kPoints);
    setFont(font);

    const QPixmap pictures[4] = {PictureOf(0), PictureOf(1), PictureOf(2), PictureOf(3)};
    const char* pictureNames[4] = {"A", "C", "X", "N"};
    // One row: its pictures side by side, then its label.
    auto makeRow = [&](QWidget* parentWidget, SessionRow row, int x, int y, int labelWidth, const QString& name) {
        Row& r = rows_[Index(row)];
        for (int k = 0; k < 4; ++k) {
            auto* pic = new QLabel(parentWidget);
            pic->setObjectName(name + "_" + pictureNames[k]);
            pic->setPixmap(pictures[k]);
            pic->setGeometry(x + k * kPictureStep, y + (kRowHeight - kPicture) / 2, kPicture, kPicture);
            pic->hide();
            r.pictures[static_cast<std::size_t>(k)] = pic;
        }
        r.label = new QLabel(SessionRow_Caption(row), parentWidget);
        r.label->setObjectName(name);
        r.label->setGeometry(x + 4 * kPictureStep + 6, y, labelWidth, kRowHeight);
    };

    makeRow(this, SessionRow::Internet, 16, 14, 440, "Txt(0)");
    makeRow(this, SessionRow::Server, 16, 14 + kRowStep, 440, "Txt(1)");
    third_ = new QLabel(this);
    third_->setObjectName("Txt(2)");
    third_->setGeometry(16 + 4 * kPictureStep + 6, 14 + 2 * kRowStep, 440, kRowHeight);

    const int frameTop = 14 + 3 * kRowStep + 6;
    send_ = new QGroupBox(kSendFrameCaption, this);
    send_->setObjectName("Frame2");
    send_->setGeometry(12, frameTop, 262, 30 + 6 * kRowStep);
    receive_ = new QGroupBox(kReceiveFrameCaption, this);
    receive_->setObjectName("Frame1");
    receive_->setGeometry(284, frameTop, 264, 30 + 9 * kRowStep);
    for (int i = 0; i < kSessionRows; ++i) {
        const auto row = static_cast<SessionRow>(i);
        if (row == SessionRow::Internet || row == SessionRow::Server) continue;
        const bool send = SessionRow_IsSend(row);
        const int index = send ? i - static_cast<int>(SessionRow::Sales)
                               : i - static_cast<int>(SessionRow::ProductComplete);
        QGroupBox* frame = send ? send_ : receive_;
        makeRow(frame, row, 8, 24 + index * kRowStep, frame->width() - 8 - (4 * kPictureStep + 6) - 8,
                QString(send ? "S(%1)" : "r(%1)").arg(index));
    }

    timer_ = new QLabel(this);
    timer_->setObjectName("Lbl_Timer");
    timer_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    timer_->setGeometry(kWidth - 72, kHeight - 30, 56, kRowHeight);
    timer_->hide();

    pause_.setSingleShot(true);
    connect(&pause_, &QTimer::timeout, this, [this] { hide(); });
    // The session ends the window, not the cashier.
    SetCloseButton(this, false);
}

QLabel* QtSessionWindow::Picture(SessionRow row, int which) const {
    if (which < 0 || which > 3) return nullptr;
    return rows_[Index(row)].pictures[static_cast<std::size_t>(which)];
}

std::vector<QWidget*> QtSessionWindow::TextControls() const {
    std::vector<QWidget*> out;
    for (const Row& r : rows_)
        if (r.label) out.push_back(r.label);
    out.push_back(third_);
    out.push_back(timer_);
    return out;
}

void QtSessionWindow::Session_Show(const SessionWindow& window) {
    pause_.stop();
    timer_->clear();
    timer_->hide();
    Draw(window);
    if (!isVisible()) {
        if (QWidget* over = parentWidget()) move(over->geometry().center() - rect().center());
        show();
        SetTopMost(this, true);
    }
    raise();
}

void QtSessionWindow::Session_Update(const SessionWindow& window) {
    Draw(window);
    // Painted now: the window's thread is free while the step runs, and the
    // step's news shows before the next one.
    repaint();
}

void QtSessionWindow::Session_Hide() {
    if (!isVisible()) return;
    pause_.start(pauseMs_);
}

void QtSessionWindow::Draw(const SessionWindow& window) {
    for (int i = 0; i < kSessionRows; ++i) {
        const auto row = static_cast<SessionRow>(i);
        const RowPictures& p = window.Pictures(row);
        const bool on[4] = {p.arrow, p.check, p.cross, p.nothing};
        for (int k = 0; k < 4; ++k)
            rows_[static_cast<std::size_t>(i)].pictures[static_cast<std::size_t>(k)]->setVisible(on[k]);
    }
    timer_->setText(QString::fromStdString(window.Counter()));
    timer_->setVisible(!window.Counter().empty());
}

}  // namespace tarvo::ui
