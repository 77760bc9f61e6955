// The status colours the file table draws with: readable on the row and on the selection, light or dark.
#include "ui/StatusColors.h"

#include "engine/Cryptor.h"
#include "engine/StatusCode.h"
#include "ui/FileTableModel.h"
#include "ui/StatusItemDelegate.h"

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

QTEST_MAIN(StatusColorsTest)
#include "status_colors_test.moc"
