// Compiled with -mavx512bw -mavx512vbmi (search/CMakeLists.txt); called only where the processor has both.
#include "search/CandidateScanBody.h"

void ScanCandidatesWidest(const char* base, std::size_t p, std::size_t end, const CWordFilter* filters,
                          std::size_t filterCount, bool wordStartsOnly, CCandidateVisit visit,
                          void* context) {
  ScanByLookup(base, p, end, filters, filterCount, wordStartsOnly, visit, context);
}
