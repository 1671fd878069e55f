// JPEG through libjpeg-turbo: baseline, progressive, greyscale, RGB, CMYK and YCCK
// in; YCbCr 4:2:0 at a given quality out. Colour profiles travel in APP2.
//
// libjpeg reports fatal errors through error_exit, which must not return. Ours
// longjmps back to the function that called setjmp. Those functions hold nothing
// with a destructor: every C++ object lives in their callers, so the jump skips
// no destructor.

#include "imaging/codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace zembra {

namespace {

struct JpegError {
    jpeg_error_mgr mgr; // first, so libjpeg's err pointer is ours
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnErrorExit(j_common_ptr cinfo) {
    auto* e = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->message);
    std::longjmp(e->jump, 1);
}

void OnEmitMessage(j_common_ptr cinfo, int level) {
    if (level != -1)
        return; // trace messages
    // A file that ends early would be padded with grey; a picture with a grey band
    // must not replace the original, so an early end is a failure.
    if (cinfo->err->msg_code == JWRN_JPEG_EOF)
        OnErrorExit(cinfo);
    cinfo->err->num_warnings++;
}

void OnOutputMessage(j_common_ptr) {} // never print on stderr

void InitError(JpegError& e) {
    jpeg_std_error(&e.mgr);
    e.mgr.error_exit = OnErrorExit;
    e.mgr.emit_message = OnEmitMessage;
    e.mgr.output_message = OnOutputMessage;
    e.message[0] = '\0';
}

// Stops progressive files whose scan count would make decoding crawl.
struct ScanLimit {
    jpeg_progress_mgr mgr; // first, so libjpeg's progress pointer is ours
    int maxScans;
    JpegError* error;
};

void OnProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor)
        return;
    auto* limit = reinterpret_cast<ScanLimit*>(cinfo->progress);
    const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > limit->maxScans) {
        std::snprintf(limit->error->message, sizeof limit->error->message,
                      "more than %d progressive scans", limit->maxScans);
        std::longjmp(limit->error->jump, 1);
    }
}

constexpr int kRowBatch = 16;

// [SECTION] Decoding

// Adobe's applications write CMYK inverted (0 = full ink); others write it plain.
void CmykToPixels(const std::uint8_t* in, std::uint32_t* out, std::size_t count, bool inverted) {
    for (std::size_t x = 0; x < count; ++x, in += 4) {
        std::uint32_t c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        // Now each value is the share of light left: 255 = no ink.
        const std::uint32_t r = (c * k + 127) / 255;
        const std::uint32_t g = (m * k + 127) / 255;
        const std::uint32_t b = (y * k + 127) / 255;
        out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
}

// libjpeg's decompressor giving rows straight in the surfaces' pixel layout, for
// a whole decode and for a resize that takes rows as they come. It stays where
// it was made: libjpeg keeps pointers to its members.
class JpegReader {
  public:
    JpegReader(const JpegReader&) = delete;
    JpegReader& operator=(const JpegReader&) = delete;
    // Below 8 eighths libjpeg shrinks the picture while it decodes.
    JpegReader(const DecodeLimits& limits, int scaleEighths = 8)
        : limits_(limits), scaleEighths_(scaleEighths) {
        cinfo_.err = &error_.mgr;
        InitError(error_);
        scanLimit_.mgr.progress_monitor = OnProgress;
        scanLimit_.maxScans = limits.maxJpegScans;
        scanLimit_.error = &error_;
    }
    ~JpegReader() {
        if (created_)
            jpeg_destroy_decompress(&cinfo_);
    }

    // Reads the header and starts decompressing; false with failure() set.
    bool Start(ByteSpan bytes) {
        if (!RunStart(bytes))
            return Failed();
        if (cmyk_)
            cmykRow_.resize(static_cast<std::size_t>(cinfo_.output_width) * 4);
        return true;
    }

    int Width() const { return static_cast<int>(cinfo_.output_width); }
    int Height() const { return static_cast<int>(cinfo_.output_height); }
    bool Cmyk() const { return cmyk_; }
    const ColorProfile& Profile() const { return profile_; }
    const Failure& failure() const { return failure_; }

    // Decodes the next `count` rows into the given rows of Width() pixels.
    bool ReadRows(std::uint32_t* const* rows, int count) {
        return RunRead(rows, count) || Failed();
    }

    // Passes over rows without colour-converting them.
    bool Skip(int count) { return RunSkip(count) || Failed(); }

  private:
    bool RunStart(ByteSpan bytes) {
        if (setjmp(error_.jump))
            return false;
        jpeg_create_decompress(&cinfo_);
        created_ = true;
        cinfo_.progress = &scanLimit_.mgr;
        jpeg_mem_src(&cinfo_, bytes.data(), static_cast<unsigned long>(bytes.size()));
        jpeg_save_markers(&cinfo_, JPEG_APP0 + 2, 0xFFFF);
        if (!Accept(jpeg_read_header(&cinfo_, TRUE)))
            return false;
        ReadProfile();
        cmyk_ = cinfo_.jpeg_color_space == JCS_CMYK || cinfo_.jpeg_color_space == JCS_YCCK;
        cinfo_.out_color_space = cmyk_ ? JCS_CMYK : JCS_EXT_BGRA;
        cinfo_.dct_method = JDCT_ISLOW;
        cinfo_.scale_num = static_cast<unsigned int>(scaleEighths_);
        cinfo_.scale_denom = 8;
        jpeg_calc_output_dimensions(&cinfo_);
        if (!AcceptSize())
            return false;
        jpeg_start_decompress(&cinfo_);
        return true;
    }

    // The helpers below stand apart from the Run functions: what they make has
    // destructors, which a jump out of libjpeg would skip.
    bool Accept(int headerStatus) {
        if (headerStatus != JPEG_HEADER_OK)
            return Refuse({GpStatus::GenericError, "JPEG: no picture in the file"});
        return true;
    }

    // The limits hold for the pixels decoded, which scaling makes fewer.
    bool AcceptSize() {
        if (auto refused = PixelLimitFailure(cinfo_.output_width, cinfo_.output_height, limits_))
            return Refuse(std::move(*refused));
        return true;
    }

    void ReadProfile() {
        JOCTET* icc = nullptr;
        unsigned int iccLength = 0;
        if (jpeg_read_icc_profile(&cinfo_, &icc, &iccLength))
            profile_ = RgbProfile(icc, iccLength);
        std::free(icc);
    }

    bool RunRead(std::uint32_t* const* rows, int count) {
        if (setjmp(error_.jump))
            return false;
        if (cmyk_) {
            for (int i = 0; i < count; ++i) {
                JSAMPROW row = cmykRow_.data();
                jpeg_read_scanlines(&cinfo_, &row, 1);
                CmykToPixels(cmykRow_.data(), rows[i], cinfo_.output_width,
                             cinfo_.saw_Adobe_marker);
            }
            return true;
        }
        JSAMPROW samples[kRowBatch];
        for (int done = 0; done < count;) {
            const int batch = std::min(kRowBatch, count - done);
            for (int i = 0; i < batch; ++i)
                samples[i] = reinterpret_cast<JSAMPROW>(rows[done + i]);
            const auto read = jpeg_read_scanlines(&cinfo_, samples, static_cast<JDIMENSION>(batch));
            if (read == 0)
                return false; // only a suspending source gives nothing; ours never does
            done += static_cast<int>(read);
        }
        return true;
    }

    bool RunSkip(int count) {
        if (setjmp(error_.jump))
            return false;
        jpeg_skip_scanlines(&cinfo_, static_cast<JDIMENSION>(count));
        return true;
    }

    bool Refuse(Failure failure) {
        failure_ = std::move(failure);
        refused_ = true;
        return false;
    }

    bool Failed() {
        if (!refused_)
            failure_ = {GpStatus::GenericError, std::string("JPEG: ") + error_.message};
        return false;
    }

    jpeg_decompress_struct cinfo_{};
    JpegError error_{};
    ScanLimit scanLimit_{};
    const DecodeLimits limits_;
    const int scaleEighths_;
    bool created_ = false;
    bool cmyk_ = false;
    bool refused_ = false; // failure_ was set by us, not by libjpeg
    ColorProfile profile_;
    std::vector<std::uint8_t> cmykRow_;
    Failure failure_;
};

// A JPEG file decoded row by row as the rows are asked for.
class JpegRows final : public DecodedRows {
  public:
    JpegRows(std::shared_ptr<const Bytes> bytes, const DecodeLimits& limits)
        : bytes_(std::move(bytes)), limits_(limits) {
        reader_.emplace(limits_);
    }

    bool Start() {
        if (!reader_->Start(*bytes_)) {
            failed_ = true;
            return false;
        }
        row_.resize(static_cast<std::size_t>(reader_->Width()));
        return true;
    }

    int Width() const override { return reader_->Width(); }
    int Height() const override { return reader_->Height(); }
    const ColorProfile& Profile() const override { return reader_->Profile(); }
    const std::uint32_t* Next() override {
        if (next_ >= Height())
            return nullptr; // past the last row: asked too often, not damaged
        std::uint32_t* row = row_.data();
        if (failed_ || !reader_->ReadRows(&row, 1))
            return Fail();
        ++next_;
        return row;
    }
    bool Skip(int count) override {
        if (failed_ || count > Height() - next_ || !reader_->Skip(count))
            return Fail() != nullptr;
        next_ += count;
        return true;
    }
    std::optional<Failure> failure() const override {
        if (!failed_)
            return std::nullopt;
        return reader_->failure();
    }
    bool ReduceTo(int minWidth, int minHeight) override {
        if (failed_ || next_ != 0 || scaled_)
            return false;
        const int eighths = JpegScaleEighths(Width(), Height(), minWidth, minHeight);
        if (eighths == 8)
            return false;
        // The scale is fixed once decompression starts, so start again with it.
        reader_.reset();
        reader_.emplace(limits_, eighths);
        scaled_ = true;
        return Start();
    }

  private:
    const std::uint32_t* Fail() {
        failed_ = true;
        return nullptr;
    }

    std::shared_ptr<const Bytes> bytes_; // libjpeg reads from them
    const DecodeLimits limits_;
    std::optional<JpegReader> reader_; // made in place: libjpeg points into it
    bool scaled_ = false;
    std::vector<std::uint32_t> row_;
    int next_ = 0;
    bool failed_ = false;
};

// Reads the header only. The caller destroys cinfo, created or not.
bool ReadJpegSize(jpeg_decompress_struct& cinfo, JpegError& error, ByteSpan bytes,
                  StoredSize& size) {
    if (setjmp(error.jump))
        return false;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK)
        return false;
    size = {static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height)};
    return true;
}

// [SECTION] Encoding

struct EncodeState {
    jpeg_compress_struct cinfo{};
    JpegError error{};
    jpeg_destination_mgr dest{};
    bool created = false;
    bool rowMissing = false; // the picture's rows ran out or failed
    // Ours alone, grown with realloc and freed once. (libjpeg's own memory
    // destination frees a buffer it has outgrown yet leaves the caller pointing at
    // it until the compression finishes, so an aborted encode would free it twice.)
    unsigned char* buffer = nullptr;
    std::size_t capacity = 0;
    std::size_t size = 0;
};

constexpr std::size_t kFirstOutputBuffer = 64 * 1024;

EncodeState& StateOf(j_compress_ptr cinfo) {
    return *static_cast<EncodeState*>(cinfo->client_data);
}

void InitOutput(j_compress_ptr cinfo) {
    EncodeState& s = StateOf(cinfo);
    s.buffer = static_cast<unsigned char*>(std::malloc(kFirstOutputBuffer));
    if (s.buffer == nullptr)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    s.capacity = kFirstOutputBuffer;
    s.dest.next_output_byte = s.buffer;
    s.dest.free_in_buffer = s.capacity;
}

// Called with the whole buffer full.
boolean GrowOutput(j_compress_ptr cinfo) {
    EncodeState& s = StateOf(cinfo);
    auto* grown = static_cast<unsigned char*>(std::realloc(s.buffer, s.capacity * 2));
    if (grown == nullptr)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    s.buffer = grown;
    s.dest.next_output_byte = s.buffer + s.capacity;
    s.dest.free_in_buffer = s.capacity;
    s.capacity *= 2;
    return TRUE;
}

void TermOutput(j_compress_ptr cinfo) {
    EncodeState& s = StateOf(cinfo);
    s.size = s.capacity - s.dest.free_in_buffer;
}

bool RunEncode(EncodeState& s, PixelRows& picture, int quality, const Bytes* icc) {
    if (setjmp(s.error.jump))
        return false;
    jpeg_create_compress(&s.cinfo);
    s.created = true;
    s.cinfo.client_data = &s;
    s.dest.init_destination = InitOutput;
    s.dest.empty_output_buffer = GrowOutput;
    s.dest.term_destination = TermOutput;
    s.cinfo.dest = &s.dest;
    s.cinfo.image_width = static_cast<JDIMENSION>(picture.Width());
    s.cinfo.image_height = static_cast<JDIMENSION>(picture.Height());
    s.cinfo.input_components = 4;
    s.cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&s.cinfo);
    jpeg_set_quality(&s.cinfo, quality, TRUE);
    s.cinfo.dct_method = JDCT_ISLOW;
    // Optimised Huffman tables save about 1.5% of a photograph's bytes but need
    // every coefficient of the picture kept for a second pass: a third of the time
    // of a halving resize, and 18 MiB for a 6-megapixel output. The standard
    // tables write rows out as they come.
    s.cinfo.optimize_coding = FALSE;
    s.cinfo.density_unit = 1; // dots per inch
    s.cinfo.X_density = 96;
    s.cinfo.Y_density = 96;
    jpeg_start_compress(&s.cinfo, TRUE);
    if (icc != nullptr && !icc->empty())
        jpeg_write_icc_profile(&s.cinfo, icc->data(), static_cast<unsigned int>(icc->size()));
    while (s.cinfo.next_scanline < s.cinfo.image_height) {
        const std::uint32_t* row = picture.Next();
        if (row == nullptr) {
            s.rowMissing = true;
            return false;
        }
        // libjpeg's row type is not const, but compression only reads it.
        JSAMPROW sample = const_cast<JSAMPROW>(reinterpret_cast<const JSAMPLE*>(row));
        jpeg_write_scanlines(&s.cinfo, &sample, 1);
    }
    jpeg_finish_compress(&s.cinfo);
    return true;
}

} // namespace

namespace {

Result<GpBitmap> DecodeJpegScaled(ByteSpan bytes, const DecodeLimits& limits, int scaleEighths) {
    JpegReader reader(limits, scaleEighths);
    if (!reader.Start(bytes))
        return reader.failure();
    auto pixels = AllocatePixels(reader.Width(), reader.Height(), limits);
    if (!pixels)
        return pixels.failure();
    GpBitmap bitmap(std::move(pixels.value()));
    bitmap.pixels.SetProfile(reader.Profile());
    bitmap.pixelFormat = reader.Cmyk() ? PixelFormat32bppCMYK : PixelFormat24bppRGB;
    std::uint32_t* rows[kRowBatch];
    for (int first = 0; first < reader.Height(); first += kRowBatch) {
        const int count = std::min(kRowBatch, reader.Height() - first);
        for (int i = 0; i < count; ++i)
            rows[i] = bitmap.pixels.Row(first + i).data();
        if (!reader.ReadRows(rows, count))
            return reader.failure();
    }
    // The rest of the file (trailing markers) is of no interest: no finish call.
    return bitmap;
}

// The size of a side once libjpeg has scaled it by eighths/8: rounded up.
std::int64_t ScaledSide(std::int64_t side, int eighths) {
    return (side * eighths + 7) / 8;
}

} // namespace

int JpegScaleEighths(int width, int height, int minWidth, int minHeight) {
    for (int eighths = 1; eighths < 8; ++eighths)
        if (ScaledSide(width, eighths) >= minWidth && ScaledSide(height, eighths) >= minHeight)
            return eighths;
    return 8;
}

Result<GpBitmap> DecodeJpeg(ByteSpan bytes, const DecodeLimits& limits, int frame) {
    if (frame != 0)
        return Failure{GpStatus::InvalidParameter, "JPEG files hold one picture"};
    return DecodeJpegScaled(bytes, limits, 8);
}

std::optional<StoredSize> JpegPictureSize(ByteSpan bytes) {
    jpeg_decompress_struct cinfo{};
    JpegError error{};
    cinfo.err = &error.mgr;
    InitError(error);
    StoredSize size{};
    const bool read = ReadJpegSize(cinfo, error, bytes, size);
    jpeg_destroy_decompress(&cinfo);
    if (!read)
        return std::nullopt;
    return size;
}

Result<GpBitmap> DecodeJpegReduced(ByteSpan bytes, const DecodeLimits& limits, int minWidth,
                                   int minHeight) {
    const auto size = JpegPictureSize(bytes);
    if (!size)
        return Failure{GpStatus::GenericError, "JPEG: no picture in the file"};
    return DecodeJpegScaled(bytes, limits,
                            JpegScaleEighths(size->width, size->height, minWidth, minHeight));
}

Result<std::unique_ptr<DecodedRows>> OpenJpegRows(std::shared_ptr<const Bytes> bytes,
                                                  const DecodeLimits& limits) {
    auto rows = std::make_unique<JpegRows>(std::move(bytes), limits);
    if (!rows->Start())
        return *rows->failure();
    return std::unique_ptr<DecodedRows>(std::move(rows));
}

Result<Bytes> EncodeJpegRows(PixelRows& picture, const EncodeOptions& options) {
    // The quality reaches us unchecked; libjpeg's own range is 0..100.
    const int quality = std::clamp(options.quality.value_or(75), 0, 100);
    const ColorProfile profile = picture.Profile();
    EncodeState s;
    s.cinfo.err = &s.error.mgr;
    InitError(s.error);
    const bool ok = RunEncode(s, picture, quality, profile.get());
    if (s.created)
        jpeg_destroy_compress(&s.cinfo);
    Result<Bytes> result =
        ok ? Result<Bytes>(Bytes(s.buffer, s.buffer + s.size))
           : Result<Bytes>(Failure{GpStatus::GenericError,
                                   s.rowMissing ? std::string("JPEG: the picture's rows ran out")
                                                : std::string("JPEG: ") + s.error.message});
    std::free(s.buffer);
    return result;
}

Result<Bytes> EncodeJpeg(const Surface& picture, const EncodeOptions& options) {
    SurfaceRows rows(picture);
    return EncodeJpegRows(rows, options);
}

} // namespace zembra
