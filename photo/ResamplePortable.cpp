// Processors without AVX2 kernels: the scalar kernel does all the work.
#include "photo/ResampleKernels.h"

namespace lumo::photo {

bool cpuHasAvx2()
{
    return false;
}

void detail::resampleRowsAvx2(const BgrImage &source, BgrImage &target,
                              const std::vector<ResampleTap> &columns,
                              const std::vector<ResampleTap> &rows)
{
    resampleRowsScalar(source, target, columns, rows);
}

} // namespace lumo::photo
