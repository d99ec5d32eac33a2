// Encodes raw 16-bit mono PCM at 11025 Hz into a WAV file in one codec of the codec table, the
// way a recording does (pieces of 2760 bytes through the converter into the RIFF writer). Used
// by compare_codecs_ffmpeg.sh to time the whole process against ffmpeg.
//
//   wav_encode ITEM IN.raw OUT.wav        ITEM: 0 a-Law, 1 u-Law, 2 IMA ADPCM, 3 GSM, 4 MP3
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "CodecTable.h"
#include "TdeAudioConvertor.h"
#include "TdeFileSink.h"
#include "TdeRIFFAudioWriter.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: wav_encode ITEM IN.raw OUT.wav\n");
        return 2;
    }
    const auto format = CodecTable::Format(std::atoi(argv[1]));
    if (!format) {
        std::fprintf(stderr, "wav_encode: no codec %s\n", argv[1]);
        return 2;
    }
    try {
        std::ifstream in(argv[2], std::ios::binary | std::ios::ate);
        if (!in) throw std::runtime_error(std::string("cannot read ") + argv[2]);
        std::vector<uint8_t> pcm(size_t(in.tellg()));
        in.seekg(0);
        in.read(reinterpret_cast<char*>(pcm.data()), std::streamsize(pcm.size()));
        TdeFileSink sink(argv[3]);
        TdeRIFFAudioWriter writer(sink, *format);
        TdeAudioConvertor convertor;
        convertor.SetInputFormat(TdeWaveFormat::Pcm(1, 11025, 16));
        convertor.SetOutputFormat(*format);
        convertor.Subscribe(
            [&writer](TdeAudioConvertor&, std::span<const uint8_t> d) { writer.Write(d); });
        convertor.Open();
        const std::span<const uint8_t> all(pcm);
        for (size_t at = 0; at < all.size(); at += 2760)
            convertor.Convert(all.subspan(at, std::min<size_t>(2760, all.size() - at)));
        convertor.Close();
        writer.Close();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "wav_encode: %s\n", e.what());
        return 1;
    }
    return 0;
}
