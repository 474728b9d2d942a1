/* Reads every cell of a workbook with FreeXL: the yardstick for xls_read_bench. */
#include <freexl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static long peak_kib(void) {
  char line[256];
  long kib = -1;
  FILE* f = fopen("/proc/self/status", "r");
  while (f && fgets(line, sizeof line, f)) {
    if (strncmp(line, "VmHWM:", 6) == 0) kib = atol(line + 6);
  }
  if (f) fclose(f);
  return kib;
}

int main(int argc, char** argv) {
  int repeats = argc > 2 ? atoi(argv[2]) : 5;
  double best = 1e9, checksum = 0;
  long cells = 0;
  if (argc < 2) return 2;
  for (int i = 0; i < repeats; ++i) {
    struct timespec t0, t1;
    const void* h;
    unsigned int sheets = 0, s, r, rows;
    unsigned short c, cols;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    if (freexl_open(argv[1], &h) != FREEXL_OK) return 1;
    freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &sheets);
    cells = 0;
    for (s = 0; s < sheets; ++s) {
      freexl_select_active_worksheet(h, (unsigned short)s);
      freexl_worksheet_dimensions(h, &rows, &cols);
      for (r = 0; r < rows; ++r)
        for (c = 0; c < cols; ++c) {
          FreeXL_CellValue v;
          if (freexl_get_cell_value(h, r, c, &v) != FREEXL_OK || v.type == FREEXL_CELL_NULL)
            continue;
          ++cells;
          if (v.type == FREEXL_CELL_TEXT || v.type == FREEXL_CELL_SST_TEXT)
            checksum += strlen(v.value.text_value);
          else if (v.type == FREEXL_CELL_DOUBLE)
            checksum += v.value.double_value;
          else if (v.type == FREEXL_CELL_INT)
            checksum += v.value.int_value;
        }
    }
    freexl_close(h);
    clock_gettime(CLOCK_MONOTONIC, &t1);
    double ms = (t1.tv_sec - t0.tv_sec) * 1e3 + (t1.tv_nsec - t0.tv_nsec) / 1e6;
    if (ms < best) best = ms;
  }
  printf("freexl  cells %ld  best %.1f ms  peak %ld KiB  (checksum %.0f)\n", cells, best,
         peak_kib(), checksum);
  return 0;
}
