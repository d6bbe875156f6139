#include "platform/graphics.h"

#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

bool Near(QRgb a, QColor b, int tol = 40)
{
    return std::abs(qRed(a) - b.red()) <= tol && std::abs(qGreen(a) - b.green()) <= tol &&
           std::abs(qBlue(a) - b.blue()) <= tol;
}

// Counts pixels of rect close to colour c.
int Count(const QImage& img, const QRect& rect, QColor c, int tol = 60)
{
    int n = 0;
    const QRect r = rect.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (Near(img.pixel(x, y), c, tol))
                ++n;
    return n;
}

void Fill(TBitmap& b, TColor c, const QRect& r)
{
    b.Canvas()->Brush.Color = c;
    b.Canvas()->FillRect(r);
}

QImage TwoHalves(int w, int h)  // left red, right blue
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::blue);
    QPainter(&img).fillRect(0, 0, w / 2, h, Qt::red);
    return img;
}

class Box : public QWidget, public TControl {
public:
    explicit Box(QWidget* parent, QColor fill = QColor()) : QWidget(parent), TControl(this)
    {
        if (fill.isValid()) {
            QPalette p = palette();
            p.setColor(QPalette::Window, fill);
            setPalette(p);
            setAutoFillBackground(true);
        }
    }
};

QLabel* ColouredLabel(QWidget* parent, const QString& text, QColor colour, QRect geometry)
{
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setPixelSize(30);
    f.setBold(true);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    l->setGeometry(geometry);
    return l;
}

}  // namespace

TEST(GraphicsBitmap, PixelFormatConvertsExistingContentAndSizeIsKept)
{
    TBitmap b;
    EXPECT_TRUE(b.Empty());
    b.SetPixelFormat(pf8bit);  // on an empty bitmap only the format is recorded
    EXPECT_EQ(b.PixelFormat(), pf8bit);
    b.Canvas()->FillRect(QRect(0, 0, 5, 5));  // nothing to paint on, no crash

    b.SetHeight(30);
    EXPECT_TRUE(b.Empty());
    b.SetWidth(40);
    ASSERT_EQ(b.ToImage().size(), QSize(40, 30));
    Fill(b, clRed, QRect(0, 0, 40, 30));
    for (TPixelFormat f : {pf24bit, pf8bit, pf32bit, pf24bit}) {
        b.SetPixelFormat(f);
        EXPECT_EQ(b.PixelFormat(), f);
        EXPECT_TRUE(Near(b.ToImage().pixel(20, 15), Qt::red, 20)) << int(f);
    }

    // The 8-bit step really reduces a many-coloured picture to a palette.
    QImage ramp(256, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x)
            ramp.setPixel(x, y, qRgb(x, y * 4, 255 - x));
    b.Assign(ramp);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    b.SetPixelFormat(pf8bit);
    QSet<QRgb> colours;
    const QImage reduced = b.ToImage();
    for (int y = 0; y < reduced.height(); ++y)
        for (int x = 0; x < reduced.width(); ++x)
            colours.insert(reduced.pixel(x, y));
    EXPECT_LE(colours.size(), 256);
    EXPECT_GT(colours.size(), 8);
    EXPECT_TRUE(Near(reduced.pixel(128, 32), QColor(128, 128, 127), 60));

    // Resizing keeps the old content at the top left and whitens the new area.
    TBitmap k;
    k.SetSize(20, 20);
    Fill(k, clBlue, QRect(0, 0, 20, 20));
    k.SetSize(50, 10);
    EXPECT_TRUE(Near(k.ToImage().pixel(5, 5), Qt::blue, 0));
    EXPECT_TRUE(Near(k.ToImage().pixel(40, 5), Qt::white, 0));
    k.SetSize(0, 10);
    EXPECT_TRUE(k.Empty());

    // A transparent picture keeps its alpha at 32 bits and lies on white at 24.
    QImage clear(10, 10, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    TBitmap t;
    t.Assign(clear);
    EXPECT_EQ(t.PixelFormat(), pf32bit);
    EXPECT_EQ(qAlpha(t.ToImage().pixel(3, 3)), 0);
    t.SetPixelFormat(pf24bit);
    EXPECT_FALSE(t.ToImage().hasAlphaChannel());
    EXPECT_TRUE(Near(t.ToImage().pixel(3, 3), Qt::white, 0));
}

TEST(GraphicsCanvas, DrawStretchDrawFillAndText)
{
    TBitmap src;
    src.Assign(TwoHalves(10, 10));

    TBitmap dst;
    dst.SetSize(200, 50);
    Fill(dst, clWhite, QRect(0, 0, 200, 50));
    dst.Canvas()->Lock();
    dst.Canvas()->StretchDraw(Rect(20, 0, 200, 50), src);  // 18:5 from 1:1
    dst.Canvas()->Unlock();
    EXPECT_EQ(dst.Canvas()->LockCount(), 0);
    QImage img = dst.ToImage();
    EXPECT_TRUE(Near(img.pixel(10, 25), Qt::white, 0));  // the margin stays
    EXPECT_TRUE(Near(img.pixel(21, 0), Qt::red, 0));
    EXPECT_TRUE(Near(img.pixel(105, 49), Qt::red, 0));
    EXPECT_TRUE(Near(img.pixel(115, 0), Qt::blue, 0));
    EXPECT_TRUE(Near(img.pixel(199, 49), Qt::blue, 0));

    // Draw copies at the natural size.
    Fill(dst, clWhite, QRect(0, 0, 200, 50));
    dst.Canvas()->Draw(30, 5, src);
    img = dst.ToImage();
    EXPECT_TRUE(Near(img.pixel(30, 5), Qt::red, 0));
    EXPECT_TRUE(Near(img.pixel(39, 14), Qt::blue, 0));
    EXPECT_TRUE(Near(img.pixel(40, 15), Qt::white, 0));

    // TextOut fills its box with the brush and draws in the font colour.
    Fill(dst, clWhite, QRect(0, 0, 200, 50));
    dst.Canvas()->Brush.Color = clYellow;
    dst.Canvas()->Font.Color = clNavy;
    dst.Canvas()->Font.Height = -20;
    dst.Canvas()->TextOut(100, 10, QStringLiteral("WWW"));
    img = dst.ToImage();
    EXPECT_TRUE(Near(img.pixel(100, 10), Qt::yellow, 0));
    EXPECT_GT(Count(img, QRect(100, 10, 60, 30), QColor(0, 0, 128), 30), 20);
    EXPECT_EQ(Count(img, QRect(0, 0, 99, 50), QColor(0, 0, 128), 30), 0);

    // A canvas over a painter kept elsewhere draws through that painter.
    QImage outside(20, 20, QImage::Format_RGB32);
    outside.fill(Qt::white);
    QPainter painter(&outside);
    TCanvas over([&painter] { return &painter; });
    over.Brush.Color = clGreen;
    over.FillRect(Rect(0, 0, 10, 20));
    painter.end();
    EXPECT_TRUE(Near(outside.pixel(5, 5), QColor(0, 128, 0), 0));
    EXPECT_TRUE(Near(outside.pixel(15, 5), Qt::white, 0));
}

TEST(GraphicsPicture, AssignClearAndFieldBytesRoundTrip)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString png = dir.filePath(QStringLiteral("logo.jpg"));  // a PNG under a JPEG name
    TwoHalves(16, 8).save(png, "PNG");

    TPicture a;
    int changes = 0;
    a.OnChange = [&](TObject* s) {
        EXPECT_EQ(s, &a);
        ++changes;
    };
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(a.Graphic(), nullptr);
    EXPECT_TRUE(a.SaveToBytes().isEmpty());

    a.LoadFromFile(png);
    EXPECT_EQ(changes, 1);
    ASSERT_FALSE(a.IsEmpty());
    EXPECT_EQ(a.Graphic(), a.Bitmap());
    EXPECT_EQ(QSize(a.Width(), a.Height()), QSize(16, 8));
    QFile f(png);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray fileBytes = f.readAll();
    EXPECT_EQ(a.SaveToBytes(), fileBytes);  // unchanged: stored as loaded

    // Assign copies; the copy is independent of later changes to the source.
    TPicture b;
    b.Assign(a);
    EXPECT_EQ(b.SaveToBytes(), fileBytes);
    Fill(*a.Bitmap(), clLime, QRect(0, 0, 16, 8));
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(Near(b.ToImage().pixel(0, 0), Qt::red, 0));
    EXPECT_TRUE(Near(a.ToImage().pixel(0, 0), Qt::green, 0));

    // A changed picture is stored as PNG and reads back pixel for pixel.
    const QByteArray changed = a.SaveToBytes();
    EXPECT_TRUE(changed.startsWith("\x89PNG"));
    TPicture c;
    c.LoadFromBytes(changed);
    EXPECT_EQ(c.ToImage().convertToFormat(QImage::Format_RGB32), a.ToImage().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(c.SaveToBytes(), changed);

    // An 8-bit picture stays 8 bits through the field.
    c.Bitmap()->SetPixelFormat(pf8bit);
    TPicture d;
    d.LoadFromBytes(c.SaveToBytes());
    EXPECT_EQ(d.Bitmap()->PixelFormat(), pf8bit);
    EXPECT_TRUE(Near(d.ToImage().pixel(0, 0), Qt::green, 0));

    // Assigning an empty picture (or none) clears.
    TPicture empty;
    changes = 0;
    a.Assign(empty);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(a.SaveToBytes().isEmpty());
    b.Assign(static_cast<const TPicture*>(nullptr));
    EXPECT_TRUE(b.IsEmpty());
    d.LoadFromBytes(QByteArray());
    EXPECT_TRUE(d.IsEmpty());

    // Failures leave the picture as it was.
    const QImage before = c.ToImage();
    EXPECT_THROW(c.LoadFromFile(dir.filePath(QStringLiteral("missing.png"))), EInOutError);
    QFile junk(dir.filePath(QStringLiteral("junk.bmp")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("this is no picture");
    junk.close();
    EXPECT_THROW(c.LoadFromFile(junk.fileName()), EInvalidGraphic);
    QFile emptyFile(dir.filePath(QStringLiteral("empty.png")));
    ASSERT_TRUE(emptyFile.open(QIODevice::WriteOnly));
    emptyFile.close();
    EXPECT_THROW(c.LoadFromFile(emptyFile.fileName()), EInvalidGraphic);
    EXPECT_THROW(c.LoadFromBytes(QByteArray("\xFF\xD8garbage", 9)), EInvalidGraphic);
    EXPECT_EQ(c.ToImage(), before);

    // BMP loads too.
    const QString bmp = dir.filePath(QStringLiteral("x.bmp"));
    TwoHalves(6, 4).save(bmp, "BMP");
    c.LoadFromFile(bmp);
    EXPECT_EQ(QSize(c.Width(), c.Height()), QSize(6, 4));
    EXPECT_TRUE(Near(c.ToImage().pixel(5, 3), Qt::blue, 0));
}

TEST(GraphicsImage, PlacementAutoSizeAndDesignPicture)
{
    QWidget host;
    TImage img(&host);
    img.SetBounds(0, 0, 100, 50);
    EXPECT_EQ(img.ClassName(), QStringLiteral("TImage"));
    EXPECT_TRUE(img.DestRect().isNull());

    TBitmap pic;
    pic.Assign(TwoHalves(40, 40));
    img.Picture()->Assign(pic);
    EXPECT_EQ(img.DestRect(), QRect(0, 0, 40, 40));
    img.SetCenter(true);
    EXPECT_EQ(img.DestRect(), QRect(30, 5, 40, 40));
    img.SetStretch(true);
    EXPECT_EQ(img.DestRect(), QRect(0, 0, 100, 50));
    img.SetProportional(true);
    EXPECT_EQ(img.DestRect(), QRect(25, 0, 50, 50));
    img.SetStretch(false);  // proportional alone only shrinks
    img.SetBounds(0, 0, 100, 100);
    EXPECT_EQ(img.DestRect(), QRect(30, 30, 40, 40));
    img.SetBounds(0, 0, 20, 30);
    EXPECT_EQ(img.DestRect(), QRect(0, 5, 20, 20));

    int resized = 0;
    img.OnResize = [&](TObject*) { ++resized; };
    img.SetAutoSize(true);
    EXPECT_EQ(QSize(img.Width(), img.Height()), QSize(40, 40));
    EXPECT_EQ(resized, 1);
    pic.SetSize(64, 10);
    img.Picture()->Assign(pic);
    EXPECT_EQ(QSize(img.Width(), img.Height()), QSize(64, 10));

    // Design values from the .ui file.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("icon.png"));
    TwoHalves(12, 7).save(file, "PNG");
    TImage designed(&host);
    designed.setProperty("PictureResource", file);
    designed.setProperty("AutoSize", true);
    designed.setProperty("Center", true);
    designed.LoadDesignProperties();
    EXPECT_TRUE(designed.AutoSize());
    EXPECT_TRUE(designed.Center());
    EXPECT_FALSE(designed.Stretch());
    EXPECT_EQ(QSize(designed.Width(), designed.Height()), QSize(12, 7));

    TImage broken(&host);
    broken.setProperty("PictureResource", dir.filePath(QStringLiteral("gone.png")));
    EXPECT_NO_THROW(broken.LoadDesignProperties());
    EXPECT_TRUE(broken.Picture()->IsEmpty());
}

TEST(GraphicsPaintTo, NeverShownWindowRendersVisibleChildrenOnly)
{
    QWidget window;
    window.resize(400, 300);
    auto* page = new Box(&window, Qt::white);
    page->SetBounds(10, 10, 300, 200);
    ColouredLabel(page, QStringLiteral("MMMM"), Qt::red, QRect(5, 5, 150, 40));
    auto* inner = new Box(page, QColor(0, 0, 255));
    inner->SetBounds(10, 60, 150, 60);
    ColouredLabel(inner, QStringLiteral("MMM"), QColor(0, 160, 0), QRect(5, 5, 120, 40));
    // Sticks out of the page: only the part inside may be drawn.
    auto* edge = new Box(page, QColor(255, 0, 255));
    edge->SetBounds(280, 150, 100, 100);
    auto* hidden = new Box(page, Qt::yellow);
    hidden->SetBounds(200, 10, 50, 50);
    hidden->Hide();
    auto* logo = new TImage(page);
    logo->SetBounds(200, 80, 40, 20);
    logo->SetStretch(true);
    TBitmap pic;
    pic.Assign(TwoHalves(4, 4));
    logo->Picture()->Assign(pic);
    // Scroll areas lay out their viewport only when they learn their size.
    auto* list = new QListWidget(page);
    list->setGeometry(170, 110, 120, 85);
    list->setFrameShape(QFrame::NoFrame);
    for (int i = 0; i < 4; ++i) {
        auto* item = new QListWidgetItem(QStringLiteral("████████"), list);
        item->setForeground(QColor(0, 0, 255));
    }

    TBitmap bmp;
    bmp.SetSize(page->Width() + 20, page->Height() + 20);
    Fill(bmp, clBlack, QRect(0, 0, bmp.Width(), bmp.Height()));
    bmp.Canvas()->Lock();
    PaintTo(page, bmp.Canvas(), 20, 20);
    bmp.Canvas()->Unlock();
    const QImage img = bmp.ToImage();

    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(page->isVisible());
    EXPECT_TRUE(Near(img.pixel(10, 10), Qt::black, 0));  // left of the offset
    EXPECT_TRUE(Near(img.pixel(20, 20), Qt::white, 0));  // the page background
    EXPECT_GT(Count(img, QRect(25, 25, 150, 40), Qt::red), 30);
    EXPECT_TRUE(Near(img.pixel(20 + 12, 20 + 62), QColor(0, 0, 255), 0));
    EXPECT_GT(Count(img, QRect(35, 85, 120, 40), QColor(0, 160, 0)), 30);
    EXPECT_EQ(Count(img, QRect(220, 30, 50, 50), Qt::yellow, 10), 0);
    EXPECT_TRUE(Near(img.pixel(20 + 290, 20 + 160), QColor(255, 0, 255), 0));
    EXPECT_EQ(Count(img, QRect(320, 0, 100, 300), QColor(255, 0, 255), 10), 0);
    EXPECT_EQ(Count(img, QRect(0, 220, 400, 100), QColor(255, 0, 255), 10), 0);
    EXPECT_TRUE(Near(img.pixel(20 + 205, 20 + 90), Qt::red, 0));
    EXPECT_TRUE(Near(img.pixel(20 + 235, 20 + 90), Qt::blue, 0));
    EXPECT_GT(Count(img, QRect(190, 165, 120, 20), QColor(0, 0, 255), 10), 50);  // the lower rows of the list

    // Shown once and hidden again, and with a child shown again by code.
    window.show();
    window.hide();
    hidden->Show();
    Fill(bmp, clBlack, QRect(0, 0, bmp.Width(), bmp.Height()));
    PaintTo(page, bmp.Canvas(), 0, 0);
    const QImage again = bmp.ToImage();
    EXPECT_GT(Count(again, QRect(5, 5, 150, 40), Qt::red), 30);
    EXPECT_TRUE(Near(again.pixel(220, 20), Qt::yellow, 0));
}
