// Every message kvtlabel issues and the arguments its callers pass, in
// argument order (i int, s text). A repository text must take exactly these.
#include "msgrepo.h"

struct msgSigT {
    unsigned num;
    const char* sig;
};

static const msgSigT msgSignatures[] = {
    {900, "s"},   {901, "ss"},  {905, "s"},   {906, "i"},   {907, "s"},   {908, "s"},
    {8314, "s"},
    {9710, ""},   {9711, "s"},  {9712, "s"},  {9713, ""},   {9714, ""},   {9715, "s"},
    {9716, "s"},  {9717, "ss"}, {9718, "s"},  {9719, ""},   {9720, "ss"}, {9721, "s"},
    {9722, "si"}, {9723, "si"}, {9724, "s"},  {9725, "ss"}, {9726, "ss"}, {9727, "ss"},
    {9728, "s"},  {9729, "ss"}, {9730, "s"},  {9731, "si"}, {9732, "si"}, {9735, "is"},
    {9736, "s"},  {9738, "s"},  {9739, "s"},  {9740, "s"},  {9741, "ss"}, {9742, "s"},
    {9743, "ss"}, {9744, "ss"}, {9745, ""},   {9746, "s"},  {9748, "isi"}, {9749, "isi"},
    {9750, "is"}, {9751, "s"},  {9752, "s"},  {9753, "i"},  {9754, "isi"}, {9755, ""},
    {9756, ""},   {9757, "ss"}, {9758, "s"},  {9759, "s"},  {9760, "s"},  {9773, "sii"},
};

const char* msgExpectedSignature(unsigned msgNum)
{
    for (const msgSigT& m : msgSignatures)
        if (m.num == msgNum)
            return m.sig;
    return nullptr;
}
