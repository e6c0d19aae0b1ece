#include "search/CandidateScanBody.h"

void ScanCandidatesPortable(const char* base, std::size_t p, std::size_t end, const CWordFilter* filters,
                            std::size_t filterCount, bool wordStartsOnly, CCandidateVisit visit,
                            void* context) {
  Scan<16>(base, p, end, filters, filterCount, wordStartsOnly, visit, context);
}
