// SPDX-License-Identifier: GPL-3.0-or-later
// Edit ▸ Suggest a Passphrase…: six random words, their exact strength, and a way into the passphrase field.
#include "ui/SuggestionDialog.h"

#include "ui/MySecureTextField.h"
#include "ui/PassphraseSuggestion.h"
#include "ui/StrengthEstimate.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

SuggestionDialog::SuggestionDialog(MySecureTextField* field, QWidget* parent)
    : QDialog(parent), m_field(field) {
    setObjectName(QStringLiteral("suggestionDialog"));
    setWindowTitle(tr("Suggest a Passphrase"));
    setWindowModality(Qt::WindowModal);

    auto* intro = new QLabel(tr("Six words drawn at random from a list of %1:")
                                 .arg(QLocale().toString(PassphraseSuggestion::kListSize)),
                             this);
    m_wordsLabel = new QLabel(this);
    m_wordsLabel->setObjectName(QStringLiteral("wordsLabel"));
    // Shown to be read and written down; no selection, so that no copy of them goes anywhere.
    m_wordsLabel->setTextInteractionFlags(Qt::NoTextInteraction);
    m_wordsLabel->setWordWrap(true);
    QFont font = m_wordsLabel->font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    font.setBold(true);
    m_wordsLabel->setFont(font);
    const double seconds = std::exp2(PassphraseSuggestion::kBits) / StrengthEstimate::kGuessesPerSecond;
    auto* strength = new QLabel(tr("Strength: %1 bits exactly, even for an attacker who knows the list. At "
                                   "10¹⁰ guesses a second that is %2.")
                                    .arg(QLocale().toString(PassphraseSuggestion::kBits, 'f', 1),
                                         StrengthEstimate::durationInWords(seconds)),
                                this);
    strength->setObjectName(QStringLiteral("suggestionStrengthLabel"));
    strength->setWordWrap(true);
    auto* writeDown = new QLabel(tr("Write these words down on paper and keep them somewhere safe: without "
                                    "them, files encrypted with them cannot be opened again."),
                                 this);
    writeDown->setObjectName(QStringLiteral("writeDownLabel"));
    writeDown->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    m_useButton = buttons->addButton(tr("&Use These Words"), QDialogButtonBox::AcceptRole);
    m_useButton->setObjectName(QStringLiteral("useWordsButton"));
    m_useButton->setDefault(true);
    m_otherWordsButton = buttons->addButton(tr("&Other Words"), QDialogButtonBox::ActionRole);
    m_otherWordsButton->setObjectName(QStringLiteral("otherWordsButton"));
    m_otherWordsButton->setAutoDefault(false);
    connect(m_useButton, &QPushButton::clicked, this, &SuggestionDialog::useWords);
    connect(m_otherWordsButton, &QPushButton::clicked, this, &SuggestionDialog::drawWords);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_wordsLabel);
    layout->addWidget(strength);
    layout->addWidget(writeDown);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

SuggestionDialog::~SuggestionDialog() {
    forgetWords();
}

QAction* SuggestionDialog::addAction(QMenu* menu, QWidget* window, MySecureTextField* field) {
    QAction* action = menu->addAction(tr("&Suggest a Passphrase…"));
    action->setObjectName(QStringLiteral("suggestPassphraseAction"));
    connect(action, &QAction::triggered, window, [window, field] {
        auto* dialog = window->findChild<SuggestionDialog*>();
        if (dialog == nullptr) {
            dialog = new SuggestionDialog(field, window);
        }
        dialog->drawWords();
        dialog->open();
    });
    return action;
}

void SuggestionDialog::drawWords() {
    forgetWords();
    const std::optional<QStringList> words = PassphraseSuggestion::draw();
    m_useButton->setEnabled(words.has_value());
    if (!words) {
        m_wordsLabel->setText(tr("No random words could be drawn: the system gave no random numbers."));
        return;
    }
    m_words = words->join(QLatin1Char(' '));
    m_wordsLabel->setText(m_words);
}

void SuggestionDialog::done(int result) {
    QDialog::done(result);
    forgetWords();
    m_wordsLabel->clear();
}

void SuggestionDialog::useWords() {
    if (m_words.isEmpty()) {
        return;
    }
    // One edit of the whole field, as a paste would be: shown masked at once.
    const auto length = static_cast<int>(m_field->hiddenStringValue().size());
    if (m_field->textViewShouldChangeTextInRange(0, length, m_words)) {
        m_field->setStringValue(m_words);
    }
    accept();
    m_field->setFocus(Qt::OtherFocusReason);
}

void SuggestionDialog::forgetWords() {
    m_words.clear();
}
