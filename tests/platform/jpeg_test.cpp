#include "platform/jpeg.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <turbojpeg.h>

namespace {

bool Near(QRgb a, QColor b, int tol)
{
    return std::abs(qRed(a) - b.red()) <= tol && std::abs(qGreen(a) - b.green()) <= tol &&
           std::abs(qBlue(a) - b.blue()) <= tol;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Four 32 x 24 quadrants: red, green / blue, white.
void Quadrants(TBitmap& b)
{
    b.SetSize(64, 48);
    const struct {
        QRect r;
        TColor c;
    } parts[] = {{Rect(0, 0, 32, 24), clRed}, {Rect(32, 0, 64, 24), clLime},
                 {Rect(0, 24, 32, 48), clBlue}, {Rect(32, 24, 64, 48), clWhite}};
    for (const auto& p : parts) {
        b.Canvas()->Brush.Color = p.c;
        b.Canvas()->FillRect(p.r);
    }
}

// The first two entries of the first quantisation table, in file order.
std::pair<int, int> FirstQuantValues(const QByteArray& jpeg)
{
    const int at = jpeg.indexOf(QByteArray("\xFF\xDB", 2));
    if (at < 0 || at + 7 >= jpeg.size())
        return {-1, -1};
    return {uchar(jpeg[at + 5]), uchar(jpeg[at + 6])};
}

}  // namespace

TEST(Jpeg, SaveWithEncoderDefaultsAndLoadBack)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TBitmap bmp;
    Quadrants(bmp);
    for (TPixelFormat f : {pf32bit, pf24bit, pf8bit}) {
        bmp.SetPixelFormat(f);
        TJPEGImage jpeg;
        jpeg.Assign(bmp);
        const QString path = dir.filePath(QStringLiteral("page%1.jpg").arg(int(f)));
        jpeg.SaveToFile(path);

        const QByteArray bytes = ReadAll(path);
        ASSERT_GT(bytes.size(), 4);
        EXPECT_EQ(uchar(bytes[0]), 0xFF);
        EXPECT_EQ(uchar(bytes[1]), 0xD8);
        EXPECT_TRUE(bytes.endsWith(QByteArray("\xFF\xD9", 2)));

        // Quality 75 scales the standard luminance table's 16, 11 to 8, 6; 4:2:0, colour.
        EXPECT_EQ(FirstQuantValues(bytes), std::make_pair(8, 6));
        tjhandle tj = tjInitDecompress();
        int w = 0, h = 0, sub = -1, cs = -1;
        ASSERT_EQ(tjDecompressHeader3(tj, reinterpret_cast<const unsigned char*>(bytes.constData()),
                                      static_cast<unsigned long>(bytes.size()), &w, &h, &sub, &cs), 0);
        tjDestroy(tj);
        EXPECT_EQ(sub, TJSAMP_420);
        EXPECT_EQ(cs, TJCS_YCbCr);

        TJPEGImage back;
        back.LoadFromFile(path);
        ASSERT_EQ(QSize(back.Width(), back.Height()), QSize(64, 48));
        const QImage img = back.ToImage();
        EXPECT_TRUE(Near(img.pixel(8, 6), Qt::red, 30)) << int(f);
        EXPECT_TRUE(Near(img.pixel(56, 6), Qt::green, 30)) << int(f);
        EXPECT_TRUE(Near(img.pixel(8, 42), Qt::blue, 30)) << int(f);
        EXPECT_TRUE(Near(img.pixel(56, 42), Qt::white, 30)) << int(f);

        // The picture class decodes the same file through the same decoder.
        TPicture pic;
        pic.LoadFromFile(path);
        EXPECT_EQ(pic.ToImage(), img);
        EXPECT_EQ(pic.SaveToBytes(), bytes);
    }

    // Grey-scale JPEGs load as colour images.
    QImage grey(8, 8, QImage::Format_RGB888);
    grey.fill(QColor(90, 90, 90));
    tjhandle tj = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    ASSERT_EQ(tjCompress2(tj, grey.constBits(), 8, int(grey.bytesPerLine()), 8, TJPF_RGB, &out, &outSize,
                          TJSAMP_GRAY, 90, 0), 0);
    const QByteArray greyBytes(reinterpret_cast<const char*>(out), static_cast<qsizetype>(outSize));
    tjFree(out);
    tjDestroy(tj);
    TJPEGImage g;
    g.LoadFromBytes(greyBytes);
    EXPECT_TRUE(Near(g.ToImage().pixel(4, 4), QColor(90, 90, 90), 3));
}

TEST(Jpeg, FailuresRaiseAndKeepTheImage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    TJPEGImage empty;
    EXPECT_THROW(empty.SaveToFile(dir.filePath(QStringLiteral("e.jpg"))), EInvalidGraphic);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("e.jpg"))));
    TBitmap none;
    empty.Assign(none);
    EXPECT_TRUE(empty.Empty());

    TBitmap bmp;
    Quadrants(bmp);
    TJPEGImage jpeg;
    jpeg.Assign(bmp);
    EXPECT_THROW(jpeg.SaveToFile(dir.filePath(QStringLiteral("no/such/folder/x.jpg"))), EInOutError);
    EXPECT_THROW(jpeg.SaveToFile(dir.path()), EInOutError);  // a folder, not a file

    const QImage before = jpeg.ToImage();
    EXPECT_THROW(jpeg.LoadFromFile(dir.filePath(QStringLiteral("missing.jpg"))), EInOutError);
    const QString png = dir.filePath(QStringLiteral("real.jpg"));
    ASSERT_TRUE(QImage(before).save(png, "PNG"));
    EXPECT_THROW(jpeg.LoadFromFile(png), EInvalidGraphic);
    EXPECT_THROW(jpeg.LoadFromBytes(QByteArray("\xFF\xD8\xFF\xE0 broken", 10)), EInvalidGraphic);
    EXPECT_THROW(jpeg.LoadFromBytes(QByteArray()), EInvalidGraphic);
    EXPECT_EQ(jpeg.ToImage(), before);

    EXPECT_TRUE(TJPEGImage::IsJpeg(QByteArray("\xFF\xD8", 2)));
    EXPECT_FALSE(TJPEGImage::IsJpeg(QByteArray("\xFF", 1)));
    EXPECT_FALSE(TJPEGImage::IsJpeg(ReadAll(png)));
}
