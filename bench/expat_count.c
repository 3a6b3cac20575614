/* Parse-only yardstick: reads an XML file through expat in 64 KiB buffers and counts
   elements, attributes and character bytes. Usage: expat_count FILE */
#include <expat.h>
#include <stdio.h>

struct Counts {
  unsigned long long elements;
  unsigned long long attributes;
  unsigned long long text_bytes;
};

static void XMLCALL OnStart(void* user, const XML_Char* name, const XML_Char** attributes) {
  struct Counts* counts = (struct Counts*)user;
  (void)name;
  ++counts->elements;
  while (attributes[0] != NULL) {
    ++counts->attributes;
    attributes += 2;
  }
}

static void XMLCALL OnEnd(void* user, const XML_Char* name) { (void)user, (void)name; }

static void XMLCALL OnText(void* user, const XML_Char* text, int length) {
  (void)text;
  ((struct Counts*)user)->text_bytes += (unsigned long long)length;
}

int main(int argc, char* argv[]) {
  enum { kChunk = 64 * 1024 };
  struct Counts counts = {0, 0, 0};
  XML_Parser parser;
  FILE* file;
  int failed = 0;
  int done = 0;

  if (argc < 2) {
    fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  file = fopen(argv[1], "rb");
  if (file == NULL) {
    perror(argv[1]);
    return 1;
  }
  parser = XML_ParserCreate(NULL);
  if (parser == NULL) {
    fprintf(stderr, "%s: cannot create parser\n", argv[0]);
    return 1;
  }
  XML_SetUserData(parser, &counts);
  XML_SetElementHandler(parser, OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser, OnText);
  while (!failed && !done) {
    void* buffer = XML_GetBuffer(parser, kChunk);
    size_t n;
    if (buffer == NULL) {
      failed = 1;
      break;
    }
    n = fread(buffer, 1, kChunk, file);
    done = n == 0;
    if (XML_ParseBuffer(parser, (int)n, done) != XML_STATUS_OK) failed = 1;
  }
  if (failed) {
    fprintf(stderr, "%s: %s at line %lu\n", argv[1], XML_ErrorString(XML_GetErrorCode(parser)),
            (unsigned long)XML_GetCurrentLineNumber(parser));
  }
  XML_ParserFree(parser);
  fclose(file);
  printf("elements %llu attributes %llu text bytes %llu%s\n", counts.elements, counts.attributes,
         counts.text_bytes, failed ? " (not well-formed)" : "");
  return failed ? 1 : 0;
}
