// SPDX-License-Identifier: GPL-3.0-or-later
// The status colours the file table draws with: readable on the row and on the selection, light or dark.
#include "ui/StatusColors.h"

#include "engine/Cryptor.h"
#include "engine/StatusCode.h"
#include "ui/FileTableModel.h"
#include "ui/MainWindow.h"
#include "ui/MySecureTextField.h"
#include "ui/ReadablePalette.h"
#include "ui/StatusItemDelegate.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

#include <memory>

namespace {

QPalette fusionLight() {
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    return fusion->standardPalette();
}

// The dark palette commonly given to Fusion, and one with a deep selection colour such as dark GTK themes
// use: against the first a colour must get darker when selected, against the second lighter.
QPalette dark(const QColor& base, const QColor& alternate, const QColor& highlight) {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(53, 53, 53));
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, alternate);
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::Button, QColor(53, 53, 53));
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Highlight, highlight);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(127, 127, 127));
    return palette;
}

// What a translucent text colour looks like over its opaque background.
QColor over(const QColor& color, const QColor& background) {
    const double a = color.alphaF();
    return QColor::fromRgbF(float(color.redF() * a + background.redF() * (1 - a)),
                            float(color.greenF() * a + background.greenF() * (1 - a)),
                            float(color.blueF() * a + background.blueF() * (1 - a)));
}

// A palette whose placeholder text is drawn translucent, as Qt derives it from the text colour.
QPalette withPlaceholder(QPalette palette, const QColor& placeholder) {
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::PlaceholderText, placeholder);
    }
    return palette;
}

QByteArray describe(const QColor& text, const QColor& background) {
    return QStringLiteral("%1 on %2: %3:1")
        .arg(text.name(), background.name())
        .arg(contrastRatio(text, background), 0, 'f', 2)
        .toUtf8();
}

} // namespace

class StatusColorsTest : public QObject {
    Q_OBJECT

private slots:
    void contrastFollowsTheDefinition_data();
    void contrastFollowsTheDefinition();
    void everyStatusReadsOnRowAndSelection_data();
    void everyStatusReadsOnRowAndSelection();
    void secondaryTextReachesTheMinimum_data();
    void secondaryTextReachesTheMinimum();
    void theWindowDrawsWithTheReadablePalette();
};

void StatusColorsTest::contrastFollowsTheDefinition_data() {
    QTest::addColumn<QColor>("one");
    QTest::addColumn<QColor>("other");
    QTest::addColumn<double>("ratio");
    QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
    QTest::newRow("either order") << QColor(Qt::white) << QColor(Qt::black) << 21.0;
    QTest::newRow("same colour") << QColor(120, 30, 200) << QColor(120, 30, 200) << 1.0;
    // The figures the table was measured with before: orange and red on white.
    QTest::newRow("orange on white") << QColor(255, 165, 0) << QColor(Qt::white) << 1.97;
    QTest::newRow("red on white") << QColor(Qt::red) << QColor(Qt::white) << 4.0;
}

void StatusColorsTest::contrastFollowsTheDefinition() {
    QFETCH(QColor, one);
    QFETCH(QColor, other);
    QFETCH(double, ratio);
    QVERIFY2(qAbs(contrastRatio(one, other) - ratio) < 0.01, describe(one, other));
}

void StatusColorsTest::everyStatusReadsOnRowAndSelection_data() {
    QTest::addColumn<QPalette>("palette");
    QTest::addColumn<int>("code");
    const QList<QPair<const char*, QPalette>> palettes = {
        {"Fusion light", fusionLight()},
        {"Fusion dark", dark(QColor(42, 42, 42), QColor(66, 66, 66), QColor(42, 130, 218))},
        {"dark, deep highlight", dark(QColor(36, 36, 36), QColor(45, 45, 45), QColor(21, 83, 158))},
    };
    const QList<QPair<const char*, int>> codes = {{"done", engine::StatusDone},
                                                  {"not renamed", engine::StatusNotRenamed},
                                                  {"failed", engine::StatusFailed}};
    for (const auto& [paletteName, palette] : palettes) {
        for (const auto& [codeName, code] : codes) {
            QTest::addRow("%s, %s", paletteName, codeName) << palette << code;
        }
    }
}

void StatusColorsTest::everyStatusReadsOnRowAndSelection() {
    QFETCH(QPalette, palette);
    QFETCH(int, code);
    engine::Cryptor cryptor;
    cryptor.addURLs({"/nowhere/report.txt"});
    cryptor.updateStatus(code, 0);
    FileTableModel model(&cryptor);
    model.reload();
    StatusItemDelegate delegate;

    for (const bool alternate : {false, true}) {
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            // The option as the table hands it to the delegate for a selected cell.
            QStyleOptionViewItem option;
            option.palette = palette;
            option.state = QStyle::State_Enabled | QStyle::State_Selected;
            if (group == QPalette::Active) {
                option.state |= QStyle::State_Active;
            }
            if (alternate) {
                option.features |= QStyleOptionViewItem::Alternate;
            }
            delegate.initStyleOption(&option, model.index(0, FileTableModel::StatusColumn));

            const QColor row = palette.color(group, alternate ? QPalette::AlternateBase : QPalette::Base);
            const QColor text = option.palette.color(group, QPalette::Text);
            QVERIFY2(contrastRatio(text, row) >= kMinimumStatusContrast, describe(text, row));
            const QColor highlight = palette.color(group, QPalette::Highlight);
            const QColor selected = option.palette.color(group, QPalette::HighlightedText);
            QVERIFY2(contrastRatio(selected, highlight) >= kMinimumStatusContrast,
                     describe(selected, highlight));
            // Still the status's colour wherever the palette leaves room for one: same hue as on white.
            const QColor onWhite = statusColor(code, Qt::white);
            if (text.hslSaturation() > 0) {
                QVERIFY2(qAbs(text.hslHue() - onWhite.hslHue()) <= 3, describe(text, row));
            }
        }
    }
}

// The passphrase field's placeholder (on Base), the hint line under the list (placeholder colour on Window)
// and the selected row's plain text (on Highlight), in light and dark palettes, however faint the theme
// draws them.
void StatusColorsTest::secondaryTextReachesTheMinimum_data() {
    QTest::addColumn<QPalette>("palette");
    const QPalette fusionDark = dark(QColor(42, 42, 42), QColor(66, 66, 66), QColor(42, 130, 218));
    QTest::newRow("Fusion light") << fusionLight();
    QTest::newRow("light, faint translucent placeholder")
        << withPlaceholder(fusionLight(), QColor(0, 0, 0, 90));
    QTest::newRow("Fusion dark, translucent placeholder")
        << withPlaceholder(fusionDark, QColor(255, 255, 255, 128));
    QTest::newRow("dark, grey placeholder") << withPlaceholder(
        dark(QColor(36, 36, 36), QColor(45, 45, 45), QColor(21, 83, 158)), QColor(100, 100, 100));
    QPalette paleSelection = withPlaceholder(fusionLight(), QColor(160, 160, 160));
    paleSelection.setColor(QPalette::Highlight, QColor(61, 174, 233));
    paleSelection.setColor(QPalette::HighlightedText, QColor(252, 252, 252));
    QTest::newRow("light, pale selection") << paleSelection;
}

void StatusColorsTest::secondaryTextReachesTheMinimum() {
    QFETCH(QPalette, palette);
    const QPalette readable = readablePalette(palette);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const QColor placeholder = readable.color(group, QPalette::PlaceholderText);
        for (const QPalette::ColorRole background : {QPalette::Base, QPalette::Window}) {
            const QColor behind = readable.color(group, background);
            const QColor seen = over(placeholder, behind);
            QVERIFY2(contrastRatio(seen, behind) >= kMinimumStatusContrast, describe(seen, behind));
        }
        const QColor highlight = readable.color(group, QPalette::Highlight);
        const QColor selected = over(readable.color(group, QPalette::HighlightedText), highlight);
        QVERIFY2(contrastRatio(selected, highlight) >= kMinimumStatusContrast, describe(selected, highlight));
        // The backgrounds and the main text are the theme's own.
        for (const QPalette::ColorRole role :
             {QPalette::Base, QPalette::Window, QPalette::Highlight, QPalette::Text}) {
            QCOMPARE(readable.color(group, role), palette.color(group, role));
        }
    }
}

// The window takes the readable palette at once and again when the desktop's palette changes.
void StatusColorsTest::theWindowDrawsWithTheReadablePalette() {
    const QPalette before = QApplication::palette();
    for (const QColor& faint : {QColor(0, 0, 0, 60), QColor(200, 200, 200)}) {
        QApplication::setPalette(withPlaceholder(fusionLight(), faint));
        MainWindow window;
        if (faint.alpha() == 255) {
            // A palette that changes while the window is open.
            QApplication::setPalette(withPlaceholder(fusionLight(), QColor(0, 0, 0, 60)));
            QApplication::setPalette(withPlaceholder(fusionLight(), faint));
        }
        auto* hint = window.findChild<QLabel*>("runHintLabel");
        auto* field = window.findChild<MySecureTextField*>("passPhraseField");
        QVERIFY(hint != nullptr && field != nullptr);
        const QColor hintColor =
            over(hint->palette().color(QPalette::PlaceholderText), hint->palette().color(QPalette::Window));
        QVERIFY2(contrastRatio(hintColor, hint->palette().color(QPalette::Window)) >= kMinimumStatusContrast,
                 describe(hintColor, hint->palette().color(QPalette::Window)));
        const QColor fieldColor =
            over(field->palette().color(QPalette::PlaceholderText), field->palette().color(QPalette::Base));
        QVERIFY2(contrastRatio(fieldColor, field->palette().color(QPalette::Base)) >= kMinimumStatusContrast,
                 describe(fieldColor, field->palette().color(QPalette::Base)));
    }
    QApplication::setPalette(before);
}

QTEST_MAIN(StatusColorsTest)
#include "status_colors_test.moc"
