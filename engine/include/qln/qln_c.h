/* qln's conversion engine for C and other languages: HTML in, plain text out.
   The same conversions as <qln/qln.h>: one call for a whole text, or a
   converter fed in pieces that hands the output to a sink. */
#ifndef QLN_QLN_C_H_
#define QLN_QLN_C_H_

#include <qln/export.h>
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The settings, as the settings file qln.ini holds them. A value outside its
   range is taken at its default. */
typedef struct qln_settings {
  int LeftMargin;    /* spaces before a line's first word: 0 to 10, default 2 */
  int RightMargin;   /* words wrap before column RightMargin - LeftMargin: 40 to 999, default 78 */
  int DoURLs;        /* 1 numbers the links and lists them at the end: default 1 */
  int KeepLinefeeds; /* 1 ends an output line at every input line end: default 1 */
  int Space2AfterPeriod; /* 1 puts two spaces after ".", ":", "!" and "?": default 0 */
  int ModernHtml;        /* 1 converts in the modern profile, 0 in the classic one: default 0 */
} qln_settings;

typedef enum qln_mode {
  QLN_MODE_FILE = 0,     /* as qln converts a file: the bytes of the file it writes */
  QLN_MODE_CLIPBOARD = 1 /* as qln converts the clipboard's text */
} qln_mode;

typedef enum qln_line_ends {
  QLN_LINE_ENDS_CRLF = 0, /* as in qln's files and on the Windows clipboard */
  QLN_LINE_ENDS_LF = 1    /* as on a Linux clipboard or pipe */
} qln_line_ends;

/* What every function that can fail returns. */
typedef enum qln_status {
  QLN_OK = 0,
  QLN_ERROR_ARGUMENT = 1, /* a null pointer where one is needed, or a mode or
                             line-end value that does not exist */
  QLN_ERROR_MEMORY = 2,   /* memory ran out: a converter can then only be freed */
  QLN_ERROR_FINISHED = 3, /* a converter fed or finished after it was finished */
  QLN_ERROR_FAILED = 4    /* anything else went wrong: a converter can then only
                             be freed */
} qln_status;

/* Receives the output: `size` bytes at `bytes`, valid only during the call,
   and the pointer given with the sink. */
typedef void (*qln_sink)(const char* bytes, size_t size, void* user);

/* A conversion in progress. */
typedef struct qln_converter qln_converter;

/* Fills `settings` with the defaults. */
QLN_EXPORT void qln_default_settings(qln_settings* settings);

/* Reads the `size` bytes of a settings file at `file` into `settings`, as qln
   reads qln.ini; what the file does not set keeps its default. */
QLN_EXPORT qln_status qln_parse_settings(const char* file, size_t size, qln_settings* settings);

/* Converts the `size` bytes at `input` under `settings` (NULL for the
   defaults). On QLN_OK, `*output` holds the result, followed by a zero byte
   that `*output_size` does not count; release it with qln_free. */
QLN_EXPORT qln_status qln_convert(const char* input, size_t size, const qln_settings* settings,
                                  qln_mode mode, qln_line_ends line_ends, char** output,
                                  size_t* output_size);

/* Releases what qln_convert returned. NULL is fine. */
QLN_EXPORT void qln_free(void* memory);

/* Starts a conversion under `settings` (NULL for the defaults) whose output
   goes to `sink` with `user`; on QLN_OK, `*converter` holds it. */
QLN_EXPORT qln_status qln_converter_new(const qln_settings* settings, qln_mode mode,
                                        qln_line_ends line_ends, qln_sink sink, void* user,
                                        qln_converter** converter);

/* Converts the next `size` bytes of the input, cut anywhere. All output that
   is complete reaches the sink before it returns. */
QLN_EXPORT qln_status qln_converter_feed(qln_converter* converter, const char* bytes, size_t size);

/* Ends the input; the rest of the output reaches the sink. */
QLN_EXPORT qln_status qln_converter_finish(qln_converter* converter);

/* Releases a converter, finished or not. NULL is fine. */
QLN_EXPORT void qln_converter_free(qln_converter* converter);

#ifdef __cplusplus
}
#endif

#endif /* QLN_QLN_C_H_ */
