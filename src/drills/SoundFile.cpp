// SPDX-License-Identifier: GPL-3.0-or-later
#include "drills/SoundFile.h"

#include <QtEndian>

#include <lame/lame.h>

#include <cstring>
#include <limits>
#include <vector>

SoundFormat SoundFormatFor(const QString& path)
{
    return path.endsWith(QStringLiteral(".mp3"), Qt::CaseInsensitive) ? SoundFormat::Mp3 : SoundFormat::Wave;
}

namespace {

// The canonical 44-byte header of 16-bit mono PCM.
QByteArray WaveHeader(int nRate, quint32 nDataBytes)
{
    QByteArray h(44, '\0');
    auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, h.data() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, h.data() + at); };
    std::memcpy(h.data(), "RIFF", 4);
    put32(4, 36 + nDataBytes);
    std::memcpy(h.data() + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1); // PCM
    put16(22, 1); // mono
    put32(24, quint32(nRate));
    put32(28, quint32(nRate) * 2);
    put16(32, 2);
    put16(34, 16);
    std::memcpy(h.data() + 36, "data", 4);
    put32(40, nDataBytes);
    return h;
}

class CWaveWriter final : public CSoundFileWriter {
public:
    bool Begin(CCheckedSave& file, int nRate) override
    {
        m_nRate = nRate;
        return file.Write(WaveHeader(nRate, 0));
    }
    bool Add(CCheckedSave& file, const int16_t* samples, size_t n) override
    {
        m_chunk.resize(qsizetype(n * 2));
        for (size_t i = 0; i < n; ++i)
            qToLittleEndian(samples[i], m_chunk.data() + 2 * i);
        m_nBytes += quint64(m_chunk.size());
        if (m_nBytes > std::numeric_limits<quint32>::max() - 36) {
            m_strLimit = QStringLiteral("WAVE の大きさの上限 (4 GiB) を超えます。");
            return false;
        }
        return file.Write(m_chunk);
    }
    bool End(CCheckedSave& file, const QString&, const QString&) override
    {
        // The real sizes, now that they are known.
        return file.Seek(0) && file.Write(WaveHeader(m_nRate, quint32(m_nBytes)));
    }
    QString Limit() const override { return m_strLimit; }

private:
    int m_nRate = 8000;
    quint64 m_nBytes = 0;
    QByteArray m_chunk;
    QString m_strLimit;
};

class CMp3Writer final : public CSoundFileWriter {
public:
    ~CMp3Writer() override
    {
        if (m_pLame)
            lame_close(m_pLame);
    }
    bool Begin(CCheckedSave&, int nRate) override
    {
        m_pLame = lame_init();
        if (!m_pLame)
            return false;
        lame_set_in_samplerate(m_pLame, nRate);
        // The keyed rate, 8 kHz, as MPEG-2 at 16 kHz, which every player takes.
        lame_set_out_samplerate(m_pLame, nRate < 16000 ? 16000 : nRate);
        lame_set_num_channels(m_pLame, 1);
        lame_set_mode(m_pLame, MONO);
        lame_set_brate(m_pLame, nRate < 16000 ? 48 : 64);
        lame_set_quality(m_pLame, 5);
        lame_set_bWriteVbrTag(m_pLame, 1); // the LAME tag: delay and padding, for gapless decoding
        lame_set_write_id3tag_automatic(m_pLame, 0);
        return lame_init_params(m_pLame) >= 0;
    }
    bool Add(CCheckedSave&, const int16_t* samples, size_t n) override
    {
        // The frames are kept until the end: the tag before them holds the
        // whole text.
        for (size_t done = 0; done < n;) {
            const int take = int(std::min<size_t>(n - done, 65536));
            m_buf.resize(size_t(take) * 5 / 4 + 7200);
            const int got = lame_encode_buffer(m_pLame, samples + done, nullptr, take, m_buf.data(), int(m_buf.size()));
            if (got < 0)
                return false;
            m_frames.append(reinterpret_cast<const char*>(m_buf.data()), got);
            done += size_t(take);
        }
        return true;
    }
    bool End(CCheckedSave& file, const QString& title, const QString& lyrics) override
    {
        m_buf.resize(7200);
        const int got = lame_encode_flush(m_pLame, m_buf.data(), int(m_buf.size()));
        if (got < 0)
            return false;
        m_frames.append(reinterpret_cast<const char*>(m_buf.data()), got);
        // The first frame LAME left empty becomes the LAME tag.
        unsigned char tag[2880];
        const size_t tagLen = lame_get_lametag_frame(m_pLame, tag, sizeof tag);
        if (tagLen > sizeof tag || qsizetype(tagLen) > m_frames.size())
            return false;
        std::memcpy(m_frames.data(), tag, tagLen);
        return file.Write(Id3Tag(title, lyrics)) && file.Write(m_frames);
    }

private:
    lame_global_flags* m_pLame = nullptr;
    std::vector<unsigned char> m_buf;
    QByteArray m_frames;
};

void PutSynchsafe(QByteArray& out, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = char((v >> (7 * (3 - i))) & 0x7F);
}

QByteArray Utf16WithBom(const QString& text)
{
    QByteArray out("\xFF\xFE", 2);
    for (QChar c : text) {
        const char16_t u = c.unicode();
        out.append(char(u & 0xFF));
        out.append(char(u >> 8));
    }
    return out;
}

QByteArray Frame(const char* id, const QByteArray& body)
{
    QByteArray f(10, '\0');
    std::memcpy(f.data(), id, 4);
    qToBigEndian(quint32(body.size()), f.data() + 4); // ID3v2.3: a plain size
    return f + body;
}

} // namespace

QByteArray Id3Tag(const QString& title, const QString& lyrics)
{
    const QByteArray titleBody = QByteArray(1, '\x01') + Utf16WithBom(title);
    // Encoding, language, an empty description (its BOM and terminator), the text.
    const QByteArray lyricsBody
        = QByteArray(1, '\x01') + QByteArray("jpn", 3) + Utf16WithBom({}) + QByteArray(2, '\0') + Utf16WithBom(lyrics);
    const QByteArray frames = Frame("TIT2", titleBody) + Frame("USLT", lyricsBody);
    QByteArray tag("ID3\x03\x00\x00", 6);
    tag.append(4, '\0');
    PutSynchsafe(tag, 6, quint32(frames.size()));
    return tag + frames;
}

std::unique_ptr<CSoundFileWriter> CSoundFileWriter::Make(SoundFormat eFormat)
{
    if (eFormat == SoundFormat::Mp3)
        return std::make_unique<CMp3Writer>();
    return std::make_unique<CWaveWriter>();
}
