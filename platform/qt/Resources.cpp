#include "platform/qt/Resources.h"

#include <QBuffer>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <cstddef>

// Generated from resources/icon/ at build time.
extern const unsigned char kProgramIcon16[];
extern const std::size_t kProgramIcon16Size;
extern const unsigned char kProgramIcon32[];
extern const std::size_t kProgramIcon32Size;

namespace {

// Decodes the images only when the window system first asks for one, which
// keeps the decoding out of start-up where the platform shows no icon.
class EmbeddedIconEngine final : public QIconEngine {
public:
    QIconEngine* clone() const override { return new EmbeddedIconEngine; }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        return size.width() <= 16 && size.height() <= 16 ? QSize(16, 16) : QSize(32, 32);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {QSize(16, 16), QSize(32, 32)}; }

    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        const bool small = size.width() <= 16 && size.height() <= 16;
        QPixmap& cached = small ? m_small : m_large;
        if (cached.isNull()) {
            cached = QPixmap::fromImage(small ? ImageFromBytes({kProgramIcon16, kProgramIcon16Size}, "png")
                                              : ImageFromBytes({kProgramIcon32, kProgramIcon32Size}, "png"));
        }
        return cached.size() == size ? cached : cached.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QString key() const override { return QStringLiteral("QuillsmithEmbedded"); }

private:
    QPixmap m_small;
    QPixmap m_large;
};

}  // namespace

QIcon ProgramIcon() { return QIcon(new EmbeddedIconEngine); }

QImage ImageFromBytes(std::span<const unsigned char> bytes, const char* format) {
    QByteArray data =
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}
