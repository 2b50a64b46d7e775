#include "platform/JpegMessages.h"

#include <array>
#include <cstddef>
#include <cstdio>
#include <iterator>

// After <cstdio>: the decoder's header uses FILE without including it.
#include <jpeglib.h>
#include <jerror.h>

namespace platform::jpeg {

namespace {

struct Row {
    int code;
    Verdict verdict;
};

// One row per message code of jerror.h, grouped by verdict, each with why.
// Where a warning was judged whole, a file that raises it was decoded and
// compared pixel for pixel with the same file without its oddity.
constexpr Row kRows[] = {
    // Warnings about header fields that the decoder ignores or corrects.
    {JWRN_NOT_SEQUENTIAL, Verdict::Whole}, // Ss, Se, Ah, Al of a sequential scan: every coefficient is decoded anyway
    {JWRN_JFIF_MAJOR, Verdict::Whole},     // the JFIF version: nothing the decoder reads depends on it
    {JWRN_BOGUS_ICC, Verdict::Whole},      // a broken ICC profile: only raised when the profile is read, and it is not

    // Bytes skipped before a marker: padding, or data the decoder dropped.
    {JWRN_EXTRANEOUS_DATA, Verdict::WholeIfFill},

    // Data lost at the end.
    {JWRN_JPEG_EOF, Verdict::EndsEarly},   // the data ran out before the end marker
    {JERR_INPUT_EMPTY, Verdict::EndsEarly}, // no data at all
    {JERR_INPUT_EOF, Verdict::EndsEarly},

    // Warnings that bytes were lost, skipped or replaced.
    {JWRN_HIT_MARKER, Verdict::Corrupt},        // a scan ends before its last block: the rest is drawn grey
    {JWRN_HUFF_BAD_CODE, Verdict::Corrupt},     // a code no table holds: the data changed
    {JWRN_ARITH_BAD_CODE, Verdict::Corrupt},    // the same for arithmetic coding
    {JWRN_MUST_RESYNC, Verdict::Corrupt},       // a restart marker lost or changed: blocks skipped or moved
    {JWRN_BOGUS_PROGRESSION, Verdict::Corrupt}, // a scan repeated, or refining what no scan sent: a scan lost
    {JWRN_TOO_MUCH_DATA, Verdict::Corrupt},     // more lines asked for than there are: never, as lines are read

    // A header field whose meaning the decoder can only guess.
    {JWRN_ADOBE_XFORM, Verdict::Corrupt}, // a colour transform Adobe never defined, taken as YCbCr (YCCK):
                                          // every colour changes where the data is stored as RGB (CMYK)

    // Errors in the data.
    {JERR_BAD_COMPONENT_ID, Verdict::Corrupt},
    {JERR_BAD_DCT_COEF, Verdict::Corrupt},
    {JERR_BAD_HUFF_TABLE, Verdict::Corrupt},
    {JERR_BAD_LENGTH, Verdict::Corrupt},
    {JERR_BAD_MCU_SIZE, Verdict::Corrupt}, // more blocks to a unit than the standard allows
    {JERR_BAD_PROGRESSION, Verdict::Corrupt},
    {JERR_BAD_SAMPLING, Verdict::Corrupt}, // sampling factors outside what the standard allows
    {JERR_DAC_INDEX, Verdict::Corrupt},
    {JERR_DAC_VALUE, Verdict::Corrupt},
    {JERR_DHT_INDEX, Verdict::Corrupt},
    {JERR_DQT_INDEX, Verdict::Corrupt},
    {JERR_EOI_EXPECTED, Verdict::Corrupt},
    {JERR_HUFF_CLEN_OVERFLOW, Verdict::Corrupt},
    {JERR_HUFF_MISSING_CODE, Verdict::Corrupt},
    {JERR_NO_ARITH_TABLE, Verdict::Corrupt},
    {JERR_NO_HUFF_TABLE, Verdict::Corrupt},
    {JERR_NO_IMAGE, Verdict::Corrupt},
    {JERR_NO_QUANT_TABLE, Verdict::Corrupt},
    {JERR_NO_SOI, Verdict::Corrupt},
    {JERR_SOF_DUPLICATE, Verdict::Corrupt},
    {JERR_SOF_NO_SOS, Verdict::Corrupt},
    {JERR_SOI_DUPLICATE, Verdict::Corrupt},
    {JERR_SOS_NO_SOF, Verdict::Corrupt},

    // Errors about data of a kind this decoder does not read.
#if JPEG_LIB_VERSION < 70
    {JERR_ARITH_NOTIMPL, Verdict::Unsupported}, // arithmetic coding, in a build without it
#endif
    {JERR_NOT_COMPILED, Verdict::Unsupported},    // likewise for other features left out of the build
    {JERR_BAD_PRECISION, Verdict::Unsupported},   // samples of other than 8 bits (12-bit photos)
    {JERR_SOF_UNSUPPORTED, Verdict::Unsupported}, // the lossless and hierarchical processes
    {JERR_UNKNOWN_MARKER, Verdict::Unsupported},  // markers of processes and extensions it does not implement
    {JERR_EMPTY_IMAGE, Verdict::Unsupported},     // a height given only later, in a DNL marker
    {JERR_COMPONENT_COUNT, Verdict::Unsupported}, // more than 10 components
    {JERR_CONVERSION_NOTIMPL, Verdict::Unsupported}, // a colour space that cannot be turned into RGB
    {JERR_BAD_J_COLORSPACE, Verdict::Unsupported},   // a colour space its components do not fit
    {JERR_FRACT_SAMPLE_NOTIMPL, Verdict::Unsupported}, // sampling ratios its upsampler does not do
    {JERR_CCIR601_NOTIMPL, Verdict::Unsupported},
    {JERR_NOTIMPL, Verdict::Unsupported},

    // Errors about size and memory: the decoder is bounded below the
    // memory the process has, and has no backing store to spill to.
    {JERR_IMAGE_TOO_BIG, Verdict::TooLarge},
    {JERR_WIDTH_OVERFLOW, Verdict::TooLarge},
    {JERR_OUT_OF_MEMORY, Verdict::TooLarge},
    {JERR_NO_BACKING_STORE, Verdict::TooLarge},
    {JERR_TFILE_CREATE, Verdict::TooLarge},
    {JERR_TFILE_READ, Verdict::TooLarge},
    {JERR_TFILE_SEEK, Verdict::TooLarge},
    {JERR_TFILE_WRITE, Verdict::TooLarge},
    {JERR_EMS_READ, Verdict::TooLarge},
    {JERR_EMS_WRITE, Verdict::TooLarge},
    {JERR_XMS_READ, Verdict::TooLarge},
    {JERR_XMS_WRITE, Verdict::TooLarge},

    // Errors a decode as ours runs never raises: misuse of the library
    // (compression, transcoding, cropping, scaling, colour quantization,
    // buffered image, file sources, suspension) or faults inside it. Should
    // one come, the picture is refused as it always was.
    {JERR_BAD_ALIGN_TYPE, Verdict::Corrupt},
    {JERR_BAD_ALLOC_CHUNK, Verdict::Corrupt},
    {JERR_BAD_BUFFER_MODE, Verdict::Corrupt},
    {JERR_BAD_CROP_SPEC, Verdict::Corrupt},
    {JERR_BAD_DCTSIZE, Verdict::Corrupt},
    {JERR_BAD_DROP_SAMPLING, Verdict::Corrupt},
    {JERR_BAD_IN_COLORSPACE, Verdict::Corrupt},
    {JERR_BAD_LIB_VERSION, Verdict::Corrupt},
    {JERR_BAD_POOL_ID, Verdict::Corrupt},
    {JERR_BAD_PROG_SCRIPT, Verdict::Corrupt},
    {JERR_BAD_SCAN_SCRIPT, Verdict::Corrupt},
    {JERR_BAD_STATE, Verdict::Corrupt},
    {JERR_BAD_STRUCT_SIZE, Verdict::Corrupt},
    {JERR_BAD_VIRTUAL_ACCESS, Verdict::Corrupt},
    {JERR_BUFFER_SIZE, Verdict::Corrupt},
    {JERR_CANT_SUSPEND, Verdict::Corrupt},
    {JERR_FILE_READ, Verdict::Corrupt},
    {JERR_FILE_WRITE, Verdict::Corrupt},
    {JERR_MISMATCHED_QUANT_TABLE, Verdict::Corrupt},
    {JERR_MISSING_DATA, Verdict::Corrupt},
    {JERR_MODE_CHANGE, Verdict::Corrupt},
    {JERR_QUANT_COMPONENTS, Verdict::Corrupt},
    {JERR_QUANT_FEW_COLORS, Verdict::Corrupt},
    {JERR_QUANT_MANY_COLORS, Verdict::Corrupt},
    {JERR_TOO_LITTLE_DATA, Verdict::Corrupt},
    {JERR_VIRTUAL_BUG, Verdict::Corrupt},

    // Texts and trace messages.
    {JMSG_NOMESSAGE, Verdict::Trace},
    {JMSG_COPYRIGHT, Verdict::Trace},
    {JMSG_VERSION, Verdict::Trace},
    {JTRC_16BIT_TABLES, Verdict::Trace},
    {JTRC_ADOBE, Verdict::Trace},
    {JTRC_APP0, Verdict::Trace},
    {JTRC_APP14, Verdict::Trace},
    {JTRC_DAC, Verdict::Trace},
    {JTRC_DHT, Verdict::Trace},
    {JTRC_DQT, Verdict::Trace},
    {JTRC_DRI, Verdict::Trace},
    {JTRC_EMS_CLOSE, Verdict::Trace},
    {JTRC_EMS_OPEN, Verdict::Trace},
    {JTRC_EOI, Verdict::Trace},
    {JTRC_HUFFBITS, Verdict::Trace},
    {JTRC_JFIF, Verdict::Trace},
    {JTRC_JFIF_BADTHUMBNAILSIZE, Verdict::Trace},
    {JTRC_JFIF_EXTENSION, Verdict::Trace},
    {JTRC_JFIF_THUMBNAIL, Verdict::Trace},
    {JTRC_MISC_MARKER, Verdict::Trace},
    {JTRC_PARMLESS_MARKER, Verdict::Trace},
    {JTRC_QUANTVALS, Verdict::Trace},
    {JTRC_QUANT_3_NCOLORS, Verdict::Trace},
    {JTRC_QUANT_NCOLORS, Verdict::Trace},
    {JTRC_QUANT_SELECTED, Verdict::Trace},
    {JTRC_RECOVERY_ACTION, Verdict::Trace},
    {JTRC_RST, Verdict::Trace},
    {JTRC_SMOOTH_NOTIMPL, Verdict::Trace},
    {JTRC_SOF, Verdict::Trace},
    {JTRC_SOF_COMPONENT, Verdict::Trace},
    {JTRC_SOI, Verdict::Trace},
    {JTRC_SOS, Verdict::Trace},
    {JTRC_SOS_COMPONENT, Verdict::Trace},
    {JTRC_SOS_PARAMS, Verdict::Trace},
    {JTRC_TFILE_CLOSE, Verdict::Trace},
    {JTRC_TFILE_OPEN, Verdict::Trace},
    {JTRC_THUMB_JPEG, Verdict::Trace},
    {JTRC_THUMB_PALETTE, Verdict::Trace},
    {JTRC_THUMB_RGB, Verdict::Trace},
    {JTRC_UNKNOWN_IDS, Verdict::Trace},
    {JTRC_XMS_CLOSE, Verdict::Trace},
    {JTRC_XMS_OPEN, Verdict::Trace},
};

constexpr bool everyCodeOnce()
{
    std::array<int, JMSG_LASTMSGCODE> seen{};
    for (const Row &row : kRows) {
        if (row.code < 0 || row.code >= JMSG_LASTMSGCODE)
            return false;
        ++seen[std::size_t(row.code)];
    }
    for (int count : seen) {
        if (count != 1)
            return false;
    }
    return true;
}
static_assert(std::size(kRows) == JMSG_LASTMSGCODE && everyCodeOnce(),
              "every message code of the installed jerror.h needs exactly one verdict");

constexpr std::array<Verdict, JMSG_LASTMSGCODE> kByCode = [] {
    std::array<Verdict, JMSG_LASTMSGCODE> byCode{};
    for (const Row &row : kRows)
        byCode[std::size_t(row.code)] = row.verdict;
    return byCode;
}();

} // namespace

Verdict verdictOn(int code)
{
    return code >= 0 && code < JMSG_LASTMSGCODE ? kByCode[std::size_t(code)] : Verdict::Corrupt;
}

} // namespace platform::jpeg
