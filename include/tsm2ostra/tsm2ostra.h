/* tsm2ostra: converts a Tessaro XML model (.tsm) into an Ostra construction file (.ost).
   The converter's C interface, valid C99 and C++: nothing of C++ crosses it, every function
   returns normally, and a conversion touches no state outside its own call, so that any
   number of conversions may run at once on different threads. */
#ifndef TSM2OSTRA_TSM2OSTRA_H_
#define TSM2OSTRA_TSM2OSTRA_H_

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Only the functions below are exported from the shared library. */
#if defined(TSM2OSTRA_BUILDING_LIBRARY) && defined(__GNUC__)
#define TSM2OSTRA_API __attribute__((visibility("default")))
#else
#define TSM2OSTRA_API
#endif

#define TSM2OSTRA_VERSION_MAJOR 2
#define TSM2OSTRA_VERSION_MINOR 0
#define TSM2OSTRA_VERSION_STRING "2.00"

/* The library's version, "2.00": the version of the converter it holds. */
TSM2OSTRA_API const char *tsm2ostra_version(void);

/* How a conversion ended. */
typedef enum tsm2ostra_status {
  TSM2OSTRA_OK = 0,            /* the model was read to a closed root and every byte written */
  TSM2OSTRA_END_OF_INPUT,      /* the model ended before its last root element was closed */
  TSM2OSTRA_INVALID_INPUT,     /* the model breaks the format, or passes a limit */
  TSM2OSTRA_OUT_OF_MEMORY,     /* an allocation failed */
  TSM2OSTRA_WRITE_FAILED,      /* the write callback failed, or the drawing file could not be
                                  written or closed */
  TSM2OSTRA_READ_FAILED,       /* the read callback, or the model file, reported an error */
  TSM2OSTRA_CANNOT_OPEN_INPUT, /* tsm2ostra_convert_file: the model can't be opened for
                                  reading, or is a folder */
  TSM2OSTRA_CANNOT_OPEN_OUTPUT /* tsm2ostra_convert_file: the drawing can't be created, or
                                  it is the model file itself */
} tsm2ostra_status;

/* The status's name without the prefix: "OK", "INVALID_INPUT", ...; "" for other values. */
TSM2OSTRA_API const char *tsm2ostra_status_name(tsm2ostra_status status);

typedef struct tsm2ostra_result {
  tsm2ostra_status status;
  unsigned long line;   /* the line at which reading stopped, as the program reports it:
                           1 + the line feeds read so far; for OK, the last line read;
                           0 when the model was never opened */
  unsigned long column; /* 1-based, in bytes: where on that line the next byte would be */
  /* The token at which reading stopped, or, when the input ended while an element was being
     skipped, that element's start tag: its first bytes, NUL-terminated ("" when none). */
  char token[64];
  unsigned long token_line, token_column; /* where that token starts; 0 when there is none */
} tsm2ostra_result;

/* Receives the drawing's bytes in order, in pieces of any size; returns 0, or nonzero to
   fail. The conversion then ends with TSM2OSTRA_WRITE_FAILED, and nothing more is written. */
typedef int (*tsm2ostra_write_fn)(void *context, const char *bytes, size_t size);

/* Fills buffer with up to capacity bytes; returns how many, 0 at the end, or -1 for an
   error, which ends the conversion with TSM2OSTRA_READ_FAILED. */
typedef long (*tsm2ostra_read_fn)(void *context, char *buffer, size_t capacity);

/* Where a conversion's memory comes from. allocate and release are required; reallocate
   may be NULL (memory is then moved with allocate, a copy and release). Each returns NULL
   when no memory can be had, and the conversion ends with TSM2OSTRA_OUT_OF_MEMORY. */
typedef struct tsm2ostra_allocator {
  void *(*allocate)(void *context, size_t size);
  void *(*reallocate)(void *context, void *memory, size_t old_size, size_t new_size);
  void (*release)(void *context, void *memory);
  void *context;
} tsm2ostra_allocator;

/* What a notice tells: a part of the model that the conversion reads and leaves out of the
   drawing, or that the drawing names wrongly. Notices change nothing: with or without them,
   the drawing and the result are the same, byte for byte. */
typedef enum tsm2ostra_notice_kind {
  TSM2OSTRA_NOTICE_UNKNOWN_ELEMENT = 1, /* a tag that is no element of the format (a misspelled
                                           or wrong-case one); it is skipped with its content */
  TSM2OSTRA_NOTICE_MISPLACED_ELEMENT,   /* an element where it means nothing; skipped with its
                                           content */
  TSM2OSTRA_NOTICE_NOTHING_TO_COLOR,    /* a <c> with no point or face left to colour */
  TSM2OSTRA_NOTICE_NO_BASE_POINT,       /* a <v> with no point to start from: it draws nothing */
  TSM2OSTRA_NOTICE_UNDEFINED_VERTEX     /* a line or face vertex number that names no point
                                           defined before it in its geometry */
} tsm2ostra_notice_kind;

typedef struct tsm2ostra_notice {
  unsigned long line, column;  /* where the element or entry starts; column 1-based, in bytes */
  tsm2ostra_notice_kind kind;
  const char *tag;             /* its start tag as written (its first 63 bytes at most), */
  size_t tag_size;             /* not NUL-terminated */
  const char *text;            /* one sentence, NUL-terminated, as tsmcheck prints it */
} tsm2ostra_notice;

/* Called once for each element the conversion skips, at its outermost start tag (nothing
   inside it is reported again), and once for each entry it reads and cannot draw. The
   model's documentation elements (<meta>, <title>, <version>, <authors>, <description>) and
   the prologue are meant to be skipped, and not reported. The notice and its texts are valid
   only during the call. */
typedef void (*tsm2ostra_notice_fn)(void *context, const tsm2ostra_notice *notice);

/* Options of one conversion. Start from tsm2ostra_options_init, which sets size to the
   size the caller was compiled with, so that fields added later keep their defaults for
   callers that don't know them. A NULL options pointer means all defaults. */
typedef struct tsm2ostra_options {
  size_t size;
  const tsm2ostra_allocator *allocator; /* NULL: the C library's heap */
  tsm2ostra_notice_fn notice;           /* NULL: no notices, and nothing spent on them */
  void *notice_context;
} tsm2ostra_options;

/* Inline, so that size is the caller's own. */
static inline void tsm2ostra_options_init(tsm2ostra_options *options) {
  tsm2ostra_options defaults = {sizeof(tsm2ostra_options), NULL, NULL, NULL};
  *options = defaults;
}

/* Converts the size bytes at model, which stay the caller's and unchanged. */
TSM2OSTRA_API tsm2ostra_result tsm2ostra_convert_memory(const char *model, size_t size,
                                                        tsm2ostra_write_fn write,
                                                        void *write_context,
                                                        const tsm2ostra_options *options);

/* Converts the model that read delivers, reading it once, from start to end. */
TSM2OSTRA_API tsm2ostra_result tsm2ostra_convert_stream(tsm2ostra_read_fn read,
                                                        void *read_context,
                                                        tsm2ostra_write_fn write,
                                                        void *write_context,
                                                        const tsm2ostra_options *options);

/* Converts the file model_path into the file drawing_path, with the program's file rules:
   the drawing is created, or emptied if it exists, only once it is known not to be the model
   (by any name, path or link); a folder is not a model. On Windows, paths are UTF-8. */
TSM2OSTRA_API tsm2ostra_result tsm2ostra_convert_file(const char *model_path,
                                                      const char *drawing_path,
                                                      const tsm2ostra_options *options);

/* The program's own words for a result, without a line feed: "Error while reading line 7
   (Invalid input)", "File error. Cannot open input file.", "" for OK. NUL-terminated and cut
   to fit; returns the length it needs, without the NUL, as snprintf does. */
TSM2OSTRA_API size_t tsm2ostra_describe(tsm2ostra_result result, char *buffer,
                                        size_t capacity);

/* Why a conversion failed, in one sentence without a line feed: for the forms that look
   normal but are refused (a '+' in a number, a byte-order mark, a comment, a self-closing
   element, a processing instruction, a document type's internal subset, lone carriage
   returns) what to write instead; for any other refused token, that token; for other
   failures, what tsm2ostra_describe says. "" for OK. Sized as tsm2ostra_describe. */
TSM2OSTRA_API size_t tsm2ostra_explain(tsm2ostra_result result, char *buffer,
                                       size_t capacity);

#ifdef __cplusplus
}
#endif

#endif /* TSM2OSTRA_TSM2OSTRA_H_ */
