/* A C program of the library's users, built against an installed tree: converts one model
   from memory, through a read function in small pieces, and from files, and checks that all
   three give the same drawing and result. Usage: client MODEL DRAWING; exit status 0 when
   they agree. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <tsm2ostra/tsm2ostra.h>

struct text {
  char *bytes;
  size_t size;
};

static int keep(void *context, const char *bytes, size_t size) {
  struct text *text = context;
  char *grown = realloc(text->bytes, text->size + size + 1);
  if (grown == NULL) return 1;
  memcpy(grown + text->size, bytes, size);
  text->bytes = grown;
  text->size += size;
  return 0;
}

struct pieces {
  const struct text *model;
  size_t offset;
};

static long read_pieces(void *context, char *buffer, size_t capacity) {
  struct pieces *pieces = context;
  size_t n = pieces->model->size - pieces->offset;
  if (n > 7) n = 7;
  if (n > capacity) n = capacity;
  memcpy(buffer, pieces->model->bytes + pieces->offset, n);
  pieces->offset += n;
  return (long)n;
}

static struct text read_file(const char *path) {
  struct text text = {NULL, 0};
  char buffer[4096];
  size_t n;
  FILE *file = fopen(path, "rb");
  if (file == NULL) return text;
  while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) keep(&text, buffer, n);
  fclose(file);
  return text;
}

static int same(const char *what, tsm2ostra_result a, const struct text *a_text,
                tsm2ostra_result b, const struct text *b_text) {
  if (a.status == b.status && a.line == b.line && a.column == b.column &&
      strcmp(a.token, b.token) == 0 && a_text->size == b_text->size &&
      (a_text->size == 0 || memcmp(a_text->bytes, b_text->bytes, a_text->size) == 0)) {
    return 1;
  }
  fprintf(stderr, "client: %s differs from memory\n", what);
  return 0;
}

int main(int argc, char **argv) {
  struct text model, from_memory = {NULL, 0}, from_stream = {NULL, 0}, from_file;
  struct pieces pieces;
  tsm2ostra_options options;
  tsm2ostra_result memory_result, stream_result, file_result;
  char words[128];
  if (argc != 3) return 2;
  model = read_file(argv[1]);
  pieces.model = &model;
  pieces.offset = 0;
  tsm2ostra_options_init(&options);

  memory_result = tsm2ostra_convert_memory(model.bytes, model.size, keep, &from_memory, &options);
  stream_result = tsm2ostra_convert_stream(read_pieces, &pieces, keep, &from_stream, NULL);
  file_result = tsm2ostra_convert_file(argv[1], argv[2], NULL);
  from_file = read_file(argv[2]);
  tsm2ostra_describe(memory_result, words, sizeof words);
  printf("%s %s: %s, %lu bytes, line %lu%s%s\n", tsm2ostra_version(), argv[1],
         tsm2ostra_status_name(memory_result.status), (unsigned long)from_memory.size,
         memory_result.line, words[0] != '\0' ? ": " : "", words);
  return same("the read function", memory_result, &from_memory, stream_result, &from_stream) &&
                 same("the file", memory_result, &from_memory, file_result, &from_file)
             ? 0
             : 1;
}
