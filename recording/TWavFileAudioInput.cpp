#include "TWavFileAudioInput.h"

#include <QFile>
#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "AudioTexts.h"
#include "CodecTable.h"
#include "RecordingTexts.h"
#include "TdeAudioConvertor.h"
#include "TdeRIFFAudioReader.h"

TWavFileAudioInput::TWavFileAudioInput(const QString& path, QObject* parent)
    : TPacedAudioInput(parent), path_(path) {}

void TWavFileAudioInput::Prepare() {
    const std::string step = std::string(AudioTexts::kOpenInput) + "\n";
    frames_.clear();
    try {
        const std::filesystem::path file(QFile::encodeName(path_).toStdString());
        const TdeRIFFAudioInfo info = TdeRIFFAudioReader::ReadFile(file);
        std::vector<uint8_t> audio(std::min(info.dataLength, kMaxAudioBytes));
        std::ifstream in(file, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(info.dataOffset));
        in.read(reinterpret_cast<char*>(audio.data()), static_cast<std::streamsize>(audio.size()));
        audio.resize(static_cast<size_t>(std::max<std::streamsize>(0, in.gcount())));

        TdeAudioConvertor convertor;
        convertor.SetInputFormat(info.format);
        convertor.SetOutputFormat(CodecTable::CaptureFormat());
        convertor.Subscribe([this](TdeAudioConvertor&, std::span<const uint8_t> data) {
            frames_.insert(frames_.end(), data.begin(), data.end());
        });
        convertor.Open();
        // The whole file in one block: a stage sizes its buffers on its first block.
        if (!audio.empty()) convertor.Convert(audio);
        convertor.Close();
    } catch (const std::exception& e) {
        frames_.clear();
        throw std::runtime_error(step + e.what());
    }
    frames_.resize(frames_.size() - frames_.size() % kFrameBytes);
    if (frames_.empty())
        throw std::runtime_error(step + RecordingTexts::kStandInNoAudio + path_.toStdString());
}

void TWavFileAudioInput::Fill(uint8_t* out, int frames, qint64 first) {
    const size_t total = frames_.size() / kFrameBytes;
    size_t at = static_cast<size_t>(first % static_cast<qint64>(total));
    size_t done = 0;
    const size_t wanted = static_cast<size_t>(frames);
    while (done < wanted) {
        const size_t n = std::min(wanted - done, total - at);
        std::copy_n(frames_.data() + at * kFrameBytes, n * kFrameBytes, out + done * kFrameBytes);
        done += n;
        at = 0;
    }
}
