#include "platform/qt/login_window_qt.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

#include "social/login_window.h"

namespace pawlane {

namespace {

// Sizes are in pixels: the window is laid out for 11- and 15-point text at 72
// points per inch, and desktop point sizes here come out a third larger.
QLabel* smallLabel(const QString& text) {
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setPixelSize(11);
    label->setFont(font);
    return label;
}

void setSecondary(QLabel* label) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, label->palette().color(QPalette::PlaceholderText));
    label->setPalette(p);
}

}  // namespace

LoginWindowQt::LoginWindowQt(LoginWindow& presenter) : presenter_(presenter) {
    setWindowTitle(QStringLiteral("Pawlane"));
    // A title bar with a close button only: no resizing, no minimising.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);

    auto* stack = new QVBoxLayout(this);
    stack->setSpacing(12);
    stack->setContentsMargins(24, 20, 24, 20);
    stack->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* title = new QLabel(QStringLiteral("Sign in to Pawlane"));
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPixelSize(15);
    title->setFont(bold);
    stack->addWidget(title, 0, Qt::AlignHCenter);

    auto* subtitle = smallLabel(QString::fromUtf8("Your pets stay on your Dock either way —\nsigning in unlocks friends' pets."));
    subtitle->setAlignment(Qt::AlignCenter);
    setSecondary(subtitle);
    stack->addWidget(subtitle, 0, Qt::AlignHCenter);

    auto* google = new QPushButton(QStringLiteral("Continue with Google"));
    google->setMinimumHeight(30);
    google->setAutoDefault(false);
    connect(google, &QPushButton::clicked, this, [this] { presenter_.googleTapped(); });
    stack->addWidget(google, 0, Qt::AlignHCenter);

    auto* orLabel = smallLabel(QString::fromUtf8("— or use your email —"));
    setSecondary(orLabel);
    stack->addWidget(orLabel, 0, Qt::AlignHCenter);

    auto* emailRow = new QHBoxLayout;
    emailField_ = new QLineEdit;
    emailField_->setPlaceholderText(QStringLiteral("you@example.com"));
    emailField_->setFixedWidth(220);
    sendButton_ = new QPushButton(QStringLiteral("Send Code"));
    sendButton_->setAutoDefault(false);
    connect(sendButton_, &QPushButton::clicked, this, [this] { presenter_.sendTapped(); });
    emailRow->addWidget(emailField_);
    emailRow->addWidget(sendButton_);
    stack->addLayout(emailRow);

    codeRow_ = new QWidget;
    auto* codeLayout = new QHBoxLayout(codeRow_);
    codeLayout->setContentsMargins(0, 0, 0, 0);
    codeField_ = new QLineEdit;
    codeField_->setPlaceholderText(QStringLiteral("Code from the email"));
    codeField_->setFixedWidth(120);
    verifyButton_ = new QPushButton(QStringLiteral("Verify"));
    verifyButton_->setDefault(true);  // Return verifies
    connect(verifyButton_, &QPushButton::clicked, this, [this] { presenter_.verifyTapped(); });
    connect(codeField_, &QLineEdit::returnPressed, this, [this] {
        if (verifyButton_->isEnabled()) presenter_.verifyTapped();
    });
    codeLayout->addWidget(codeField_);
    codeLayout->addWidget(verifyButton_);
    codeRow_->hide();
    stack->addWidget(codeRow_, 0, Qt::AlignHCenter);

    statusLabel_ = smallLabel(QString());
    statusLabel_->setWordWrap(true);
    statusLabel_->setFixedWidth(280);
    statusLabel_->setAlignment(Qt::AlignCenter);
    setSecondary(statusLabel_);
    stack->addWidget(statusLabel_, 0, Qt::AlignHCenter);

    // 340 x 260 unless this desktop's fonts need more room for the code row
    // and a two-line message.
    codeRow_->show();
    statusLabel_->setText(QStringLiteral("\n"));
    setFixedSize(340, std::max(260, stack->sizeHint().height()));
    statusLabel_->clear();
    codeRow_->hide();
}

std::string LoginWindowQt::emailText() const { return emailField_->text().toStdString(); }
std::string LoginWindowQt::codeText() const { return codeField_->text().toStdString(); }
void LoginWindowQt::setCodeText(const std::string& text) { codeField_->setText(QString::fromStdString(text)); }

void LoginWindowQt::setStatus(const std::string& text, StatusTone tone) {
    statusLabel_->setText(QString::fromStdString(text));
    QPalette p = statusLabel_->palette();
    p.setColor(QPalette::WindowText, tone == StatusTone::error ? QColor(255, 59, 48)
                                                               : palette().color(QPalette::PlaceholderText));
    statusLabel_->setPalette(p);
}

void LoginWindowQt::setCodeRowVisible(bool visible) { codeRow_->setVisible(visible); }

void LoginWindowQt::setSendButton(const std::string& title, bool enabled) {
    sendButton_->setText(QString::fromStdString(title));
    sendButton_->setEnabled(enabled);
}

void LoginWindowQt::setVerifyEnabled(bool enabled) { verifyButton_->setEnabled(enabled); }
void LoginWindowQt::focusCodeField() { codeField_->setFocus(); }

void LoginWindowQt::present() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    QWidget::show();
    raise();
    activateWindow();
}

void LoginWindowQt::hide() { QWidget::hide(); }

std::unique_ptr<LoginView> makeLoginView(LoginWindow& presenter) { return std::make_unique<LoginWindowQt>(presenter); }

}  // namespace pawlane
