// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the colour feedback view: where the bars lie, the colour of two seeds, and what is drawn.
#include "ui/ColorFeedbackView.h"

#include "crypto/passphrase_key.h"
#include "engine/Cryptor.h"

#include <QImage>
#include <QTest>

#include <algorithm>
#include <string>

namespace {

constexpr QRgb kSentinel = 0xff010203;

QByteArray exact(double value) {
    return QByteArray::number(value, 'g', 17);
}

// The widget and its visible children as they paint themselves, over a sentinel colour instead of a
// background.
QImage rendered(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(kSentinel);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

bool onlySentinel(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != kSentinel) {
                return false;
            }
        }
    }
    return true;
}

std::u16string units(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()));
}

} // namespace

class ColorFeedbackViewTest : public QObject {
    Q_OBJECT

private slots:
    void barsFromTheFrame_data();
    void barsFromTheFrame();
    void barsKeepTheirPlaceOnResize();
    void colours_data();
    void colours();
    void drawsNothingWithoutCryptor();
    void drawsEachBarFromItsTwoDigestBytes();
    void clearRectHidesAndKeepsTheDigest();
    void samePassphraseSameColours();
    void refusedPassphraseHidesTheBars_data();
    void refusedPassphraseHidesTheBars();

private:
    engine::Cryptor m_cryptor;
};

void ColorFeedbackViewTest::barsFromTheFrame_data() {
    QTest::addColumn<QRectF>("frame");
    QTest::addColumn<double>("width");
    QTest::newRow("100 x 20") << QRectF(0, 0, 100, 20) << 25.0;
    QTest::newRow("101 wide") << QRectF(0, 0, 101, 20) << 25.25;
    QTest::newRow("33.3 wide: width in single precision") << QRectF(0, 0, 33.3, 20) << 8.324999809265137;
    QTest::newRow("frame away from the origin") << QRectF(40, 7, 100, 20) << 25.0;
}

void ColorFeedbackViewTest::barsFromTheFrame() {
    QFETCH(QRectF, frame);
    QFETCH(double, width);
    const ColorFeedbackView view(frame);
    QCOMPARE(view.geometry(), frame.toRect());
    const std::array<QRectF, 4> bars = view.bars();
    for (int k = 0; k < 4; ++k) {
        // QRectF's == is fuzzy; the bars must match to the last bit.
        const QRectF& bar = bars[k];
        QVERIFY2(bar.x() == k * width, exact(bar.x()));
        QVERIFY2(bar.y() == 0.0, exact(bar.y()));
        QVERIFY2(bar.width() == width, exact(bar.width()));
        QVERIFY2(bar.height() == frame.height(), exact(bar.height()));
    }
}

void ColorFeedbackViewTest::barsKeepTheirPlaceOnResize() {
    ColorFeedbackView view;
    QCOMPARE(view.geometry(), QRect(10, 10, 10, 10));
    const std::array<QRectF, 4> before = view.bars();
    QVERIFY2(before[3].x() == 7.5 && before[3].width() == 2.5, exact(before[3].x()));
    view.resize(200, 50);
    const std::array<QRectF, 4> after = view.bars();
    for (int k = 0; k < 4; ++k) {
        QVERIFY(after[k].x() == before[k].x() && after[k].width() == before[k].width() &&
                after[k].height() == before[k].height());
    }
}

void ColorFeedbackViewTest::colours_data() {
    QTest::addColumn<uint32_t>("seed1");
    QTest::addColumn<uint32_t>("seed2");
    QTest::addColumn<double>("red");
    QTest::addColumn<double>("green");
    QTest::addColumn<double>("blue");
    QTest::newRow("bytes 128 and 64")
        << 128u << 64u << 0.5120000243186951 << 0.25600001215934753 << 0.7680000066757202;
    QTest::newRow("byte 0") << 0u << 0u << 0.0 << 0.0 << 0.0;
    QTest::newRow("byte 250") << 250u << 0u << 1.0 << 0.0 << 1.0;
    QTest::newRow("byte 255 above 1.0") << 255u << 0u << 1.0199999809265137 << 0.0 << 1.0199999809265137;
    QTest::newRow("blue wraps: 200 and 100")
        << 200u << 100u << 0.800000011920929 << 0.4000000059604645 << 0.17599999904632568;
    QTest::newRow("only the low bytes count")
        << 0xABCDEF80u << 0x12345640u << 0.5120000243186951 << 0.25600001215934753 << 0.7680000066757202;
    QTest::newRow("the 32-bit sum wraps")
        << 0xFFFFFFFFu << 1u << 1.0199999809265137 << 0.004000000189989805 << 0.0;
}

void ColorFeedbackViewTest::colours() {
    QFETCH(uint32_t, seed1);
    QFETCH(uint32_t, seed2);
    QFETCH(double, red);
    QFETCH(double, green);
    QFETCH(double, blue);
    const std::array<double, 3> components = ColorFeedbackView::colorComponents(seed1, seed2);
    QVERIFY2(components[0] == red, exact(components[0]));
    QVERIFY2(components[1] == green, exact(components[1]));
    QVERIFY2(components[2] == blue, exact(components[2]));

    const QColor colour = ColorFeedbackView::createColorWithSeed1(seed1, seed2);
    QCOMPARE(colour.spec(), QColor::Rgb);
    QCOMPARE(colour.alphaF(), 1.0f);
    const QColor limited =
        QColor::fromRgbF(float(std::min(red, 1.0)), float(std::min(green, 1.0)), float(std::min(blue, 1.0)));
    QCOMPARE(colour.rgba64(), limited.rgba64());
}

void ColorFeedbackViewTest::drawsNothingWithoutCryptor() {
    ColorFeedbackView view(QRectF(0, 0, 100, 20));
    view.giveFeedbackForString(QStringLiteral("correct horse"));
    QVERIFY(!view.isHidden());
    QVERIFY(std::all_of(view.seedBytes().begin(), view.seedBytes().end(), [](uint8_t b) { return b == 0; }));
    QVERIFY(onlySentinel(rendered(view)));
}

void ColorFeedbackViewTest::drawsEachBarFromItsTwoDigestBytes() {
    const QString passphrase = QStringLiteral("correct horse battery");
    uint8_t digest[passphrase::kDigestSize];
    QVERIFY(m_cryptor.doHashString(units(passphrase), digest));

    ColorFeedbackView view(QRectF(0, 0, 100, 20));
    view.setCryptor(&m_cryptor);
    view.clearRect();
    view.giveFeedbackForString(passphrase);
    QVERIFY(!view.isHidden());
    // Only the bytes the colours come from are kept: the low byte of each little-endian word.
    for (int index = 0; index < 8; ++index) {
        QCOMPARE(view.seedBytes()[index], digest[4 * index]);
    }
    const QImage image = rendered(view);
    for (int k = 0; k < 4; ++k) {
        // Bar k: red from byte 8k, green from byte 8k + 4, blue from their sum.
        const QColor expected = ColorFeedbackView::createColorWithSeed1(digest[8 * k], digest[8 * k + 4]);
        for (const QPoint point : {QPoint(25 * k, 0), QPoint(25 * k + 12, 10), QPoint(25 * k + 24, 19)}) {
            QCOMPARE(image.pixel(point), expected.rgb());
        }
    }
}

void ColorFeedbackViewTest::clearRectHidesAndKeepsTheDigest() {
    QWidget window;
    window.resize(100, 20);
    auto* view = new ColorFeedbackView(QRectF(0, 0, 100, 20), &window);
    view->setCryptor(&m_cryptor);
    view->giveFeedbackForString(QStringLiteral("first passphrase"));
    QVERIFY(!onlySentinel(rendered(window)));
    const std::array<uint8_t, 8> first = view->seedBytes();

    view->clearRect();
    QVERIFY(view->isHidden());
    QCOMPARE(view->seedBytes(), first);
    view->update();
    QVERIFY(onlySentinel(rendered(window)));

    view->giveFeedbackForString(QStringLiteral("second passphrase"));
    QVERIFY(!view->isHidden());
    QVERIFY(view->seedBytes() != first);
    const QImage image = rendered(window);
    QCOMPARE(image.pixel(12, 10),
             ColorFeedbackView::createColorWithSeed1(view->seedBytes()[0], view->seedBytes()[1]).rgb());
}

void ColorFeedbackViewTest::samePassphraseSameColours() {
    ColorFeedbackView one(QRectF(0, 0, 100, 20));
    ColorFeedbackView other(QRectF(0, 0, 100, 20));
    one.setCryptor(&m_cryptor);
    other.setCryptor(&m_cryptor);
    one.giveFeedbackForString(QStringLiteral("same passphrase"));
    other.giveFeedbackForString(QStringLiteral("different one"));
    other.giveFeedbackForString(QStringLiteral("same passphrase"));
    QCOMPARE(one.seedBytes(), other.seedBytes());
    QCOMPARE(rendered(one), rendered(other));

    other.giveFeedbackForString(QStringLiteral("same passphrasf"));
    QVERIFY(one.seedBytes() != other.seedBytes());
}

void ColorFeedbackViewTest::refusedPassphraseHidesTheBars_data() {
    QTest::addColumn<QString>("refused");
    QTest::newRow("longer than the key derivation takes") << QString(int(passphrase::kMaxLength) + 1, u'x');
    QTest::newRow("unpaired surrogate") << QString(QChar(0xD800)) + QStringLiteral("abcde");
}

void ColorFeedbackViewTest::refusedPassphraseHidesTheBars() {
    QFETCH(QString, refused);
    ColorFeedbackView view(QRectF(0, 0, 100, 20));
    view.setCryptor(&m_cryptor);
    view.giveFeedbackForString(QStringLiteral("accepted"));
    const std::array<uint8_t, 8> accepted = view.seedBytes();
    QVERIFY(!view.isHidden());

    // The colours of the accepted passphrase must not stand for the refused one.
    view.giveFeedbackForString(refused);
    QVERIFY(view.isHidden());
    QVERIFY(std::all_of(view.seedBytes().begin(), view.seedBytes().end(), [](uint8_t b) { return b == 0; }));

    view.giveFeedbackForString(QStringLiteral("accepted"));
    QVERIFY(!view.isHidden());
    QCOMPARE(view.seedBytes(), accepted);
}

QTEST_MAIN(ColorFeedbackViewTest)
#include "color_feedback_view_test.moc"
