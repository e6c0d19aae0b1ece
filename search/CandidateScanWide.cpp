// Compiled with -mavx2 (search/CMakeLists.txt); called only where the processor has AVX2.
#include "search/CandidateScanBody.h"

void ScanCandidatesWide(const char* base, std::size_t p, std::size_t end, const CWordFilter* filters,
                        std::size_t filterCount, bool wordStartsOnly, CCandidateVisit visit, void* context) {
  Scan<32>(base, p, end, filters, filterCount, wordStartsOnly, visit, context);
}
