// JPEG pictures through libjpeg-turbo (the TurboJPEG API). Qt's own JPEG
// plugin is never used, so encoding and decoding behave alike everywhere.
#pragma once

#include "platform/graphics.h"

class TJPEGImage : public TGraphic {
public:
    QString ClassName() const override { return QStringLiteral("TJPEGImage"); }

    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    QImage ToImage() const override { return image_; }

    // Takes the bitmap's pixels; an 8-bit bitmap is encoded as its expanded colours.
    void Assign(const TBitmap& bitmap) { Assign(static_cast<const TGraphic&>(bitmap)); }
    void Assign(const TGraphic& graphic);

    // The encoder's defaults: quality 75, 4:2:0 chroma subsampling, baseline.
    int CompressionQuality = 75;

    // Raises EInvalidGraphic for an empty image and EInOutError when the file
    // cannot be written.
    void SaveToFile(const QString& path) const;
    QByteArray SaveToBytes() const;

    // Raises EInOutError when the file cannot be read and EInvalidGraphic when
    // it holds no JPEG image; the image is unchanged then.
    void LoadFromFile(const QString& path);
    void LoadFromBytes(const QByteArray& bytes);

    // True when the bytes begin with the JPEG start-of-image marker.
    static bool IsJpeg(const QByteArray& bytes);
    // Decodes JPEG bytes into an RGB32 image; raises EInvalidGraphic.
    static QImage Decode(const QByteArray& bytes);

private:
    QImage image_;
};
