#include "platform/jpeg.h"

#include "platform/sysutils.h"

#include <QFile>

#include <turbojpeg.h>

#include <vector>

namespace {

struct TjHandle {
    explicit TjHandle(tjhandle h) : h(h) {}
    ~TjHandle()
    {
        if (h)
            tjDestroy(h);
    }
    TjHandle(const TjHandle&) = delete;
    TjHandle& operator=(const TjHandle&) = delete;
    tjhandle h;
};

// Adobe applications write CMYK JPEGs with inverted values; the result is
// close enough for a logo.
QImage FromCmyk(const std::vector<unsigned char>& cmyk, int w, int h)
{
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        const unsigned char* s = cmyk.data() + size_t(y) * size_t(w) * 4;
        auto* d = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x, s += 4) {
            const int k = s[3];
            d[x] = qRgb(s[0] * k / 255, s[1] * k / 255, s[2] * k / 255);
        }
    }
    return out;
}

}  // namespace

bool TJPEGImage::IsJpeg(const QByteArray& bytes)
{
    return bytes.size() >= 2 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xD8;
}

QImage TJPEGImage::Decode(const QByteArray& bytes)
{
    if (!IsJpeg(bytes))
        throw EInvalidGraphic(NotAPictureText());
    TjHandle tj(tjInitDecompress());
    if (!tj.h)
        throw EInvalidGraphic(DamagedPictureText());
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto size = static_cast<unsigned long>(bytes.size());
    int w = 0, h = 0, subsamp = 0, colorspace = 0;
    if (tjDecompressHeader3(tj.h, data, size, &w, &h, &subsamp, &colorspace) != 0)
        throw EInvalidGraphic(DamagedPictureText());
    if (w <= 0 || h <= 0)
        throw EInvalidGraphic(DamagedPictureText());
    if (qint64(w) * h > (qint64(1) << 28))
        throw EInvalidGraphic(PictureTooLargeText(w, h));

    // Warnings (a truncated file, say) still leave a usable picture, as in
    // libjpeg's own default handling; only fatal errors refuse it.
    auto failed = [&](int rc) { return rc != 0 && tjGetErrorCode(tj.h) == TJERR_FATAL; };
    if (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK) {
        std::vector<unsigned char> cmyk(size_t(w) * size_t(h) * 4);
        if (failed(tjDecompress2(tj.h, data, size, cmyk.data(), w, w * 4, h, TJPF_CMYK, 0)))
            throw EInvalidGraphic(DamagedPictureText());
        return FromCmyk(cmyk, w, h);
    }
    QImage rgb(w, h, QImage::Format_RGB888);
    if (rgb.isNull())
        throw EInvalidGraphic(PictureTooLargeText(w, h));
    if (failed(tjDecompress2(tj.h, data, size, rgb.bits(), w, int(rgb.bytesPerLine()), h, TJPF_RGB, 0)))
        throw EInvalidGraphic(DamagedPictureText());
    return rgb.convertToFormat(QImage::Format_RGB32);
}

void TJPEGImage::Assign(const TGraphic& graphic)
{
    image_ = graphic.Empty() ? QImage() : OpaqueImage(graphic.ToImage());
}

QByteArray TJPEGImage::SaveToBytes() const
{
    if (image_.isNull())
        throw EInvalidGraphic(PictureSaveText());
    const QImage rgb = image_.convertToFormat(QImage::Format_RGB888);
    TjHandle tj(tjInitCompress());
    if (!tj.h)
        throw EInvalidGraphic(PictureSaveText());
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const int rc = tjCompress2(tj.h, rgb.constBits(), rgb.width(), int(rgb.bytesPerLine()), rgb.height(),
                               TJPF_RGB, &out, &outSize, TJSAMP_420, CompressionQuality, 0);
    if (rc != 0) {
        tjFree(out);
        throw EInvalidGraphic(PictureSaveText());
    }
    QByteArray bytes(reinterpret_cast<const char*>(out), static_cast<qsizetype>(outSize));
    tjFree(out);
    return bytes;
}

void TJPEGImage::SaveToFile(const QString& path) const
{
    const QByteArray bytes = SaveToBytes();
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EInOutError(FileCreateText(path));
    if (f.write(bytes) != bytes.size() || !f.flush())
        throw EInOutError(FileWriteText(path));
}

void TJPEGImage::LoadFromBytes(const QByteArray& bytes) { image_ = Decode(bytes); }

void TJPEGImage::LoadFromFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EInOutError(FileOpenText(path));
    LoadFromBytes(f.readAll());
}
