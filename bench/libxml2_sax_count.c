/* Parse-only yardstick: reads an XML file through libxml2's SAX2 push parser in 64 KiB chunks
   and counts elements, attributes and character bytes. Usage: libxml2_sax_count FILE */
#include <libxml/parser.h>
#include <stdio.h>
#include <string.h>

struct Counts {
  unsigned long long elements;
  unsigned long long attributes;
  unsigned long long text_bytes;
};

static void OnStart(void* user, const xmlChar* name, const xmlChar* prefix, const xmlChar* uri,
                    int namespace_count, const xmlChar** namespaces, int attribute_count,
                    int defaulted_count, const xmlChar** attributes) {
  struct Counts* counts = (struct Counts*)user;
  (void)name, (void)prefix, (void)uri, (void)namespace_count, (void)namespaces;
  (void)defaulted_count, (void)attributes;
  ++counts->elements;
  counts->attributes += (unsigned long long)attribute_count;
}

static void OnEnd(void* user, const xmlChar* name, const xmlChar* prefix, const xmlChar* uri) {
  (void)user, (void)name, (void)prefix, (void)uri;
}

static void OnText(void* user, const xmlChar* text, int length) {
  (void)text;
  ((struct Counts*)user)->text_bytes += (unsigned long long)length;
}

int main(int argc, char* argv[]) {
  static char chunk[64 * 1024];
  struct Counts counts = {0, 0, 0};
  xmlSAXHandler handler;
  xmlParserCtxtPtr context;
  FILE* file;
  size_t n;
  int failed;

  if (argc < 2) {
    fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  file = fopen(argv[1], "rb");
  if (file == NULL) {
    perror(argv[1]);
    return 1;
  }
  LIBXML_TEST_VERSION
  /* Only the counting callbacks: libxml2's default SAX2 callbacks would build a tree. */
  memset(&handler, 0, sizeof handler);
  handler.initialized = XML_SAX2_MAGIC;
  handler.startElementNs = OnStart;
  handler.endElementNs = OnEnd;
  handler.characters = OnText;
  handler.ignorableWhitespace = OnText;
  n = fread(chunk, 1, sizeof chunk, file);
  context = xmlCreatePushParserCtxt(&handler, &counts, chunk, (int)n, argv[1]);
  if (context == NULL) {
    fprintf(stderr, "%s: cannot create parser\n", argv[0]);
    return 1;
  }
  failed = 0;
  while (!failed && (n = fread(chunk, 1, sizeof chunk, file)) > 0) {
    failed = xmlParseChunk(context, chunk, (int)n, 0) != 0;
  }
  if (!failed) failed = xmlParseChunk(context, chunk, 0, 1) != 0;
  failed = failed || !context->wellFormed;
  xmlFreeParserCtxt(context);
  xmlCleanupParser();
  fclose(file);
  printf("elements %llu attributes %llu text bytes %llu%s\n", counts.elements, counts.attributes,
         counts.text_bytes, failed ? " (not well-formed)" : "");
  return failed ? 1 : 0;
}
