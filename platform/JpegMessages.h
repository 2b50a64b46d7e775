#pragma once
// What each message of the JPEG decoder (libjpeg-turbo, by its code in
// jerror.h) says of the picture being decoded. Every code the installed
// library can emit has a verdict: the build fails when the library gains
// a code without one. Plain data; any thread.

namespace platform::jpeg {

enum class Verdict : unsigned char {
    // The pixels are those of the same data without what the message
    // names: a header field the decoder ignores or corrects.
    Whole,
    // Whole when the bytes the message names are fill (0x00 or 0xFF, as
    // cameras and editors pad before a marker); otherwise they are
    // compressed data the decoder did not use: Corrupt.
    WholeIfFill,
    // Data lost at the end: what is missing would be drawn grey.
    EndsEarly,
    // Data lost, skipped or changed on the way: drawn as noise, grey or
    // out of place.
    Corrupt,
    // Data of a kind the decoder does not read (other sample precisions,
    // processes, colour spaces, extensions).
    Unsupported,
    // More than the decoder or the memory it is given can hold.
    TooLarge,
    // A trace or a text, never sent as a warning or an error.
    Trace,
};

// The verdict on message `code` (msg_code of the decoder's error manager);
// Corrupt for a code outside the library's range.
Verdict verdictOn(int code);

} // namespace platform::jpeg
