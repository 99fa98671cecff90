// What one key press costs under the editors' masks: a step of the
// regular-expression automaton on the locale's date-time expression (the
// largest mask the framework builds), compiling that expression, and
// spreading a text over a standard date-time mask.

#include <benchmark/benchmark.h>

#include <string>

#include "components/editors/cxFormats.h"
#include "components/editors/cxRegExpr.h"
#include "platform/hostlib/mask/cxStandardMask.h"

namespace {

const std::string& DateTimeExpression() { return cxFormatController()->RegExprDateTimeEditMask(); }

void BM_CompileDateTimeExpression(benchmark::State& state)
{
    for (auto _ : state) {
        TcxRegExpr expr;
        expr.Compile(DateTimeExpression());
        benchmark::DoNotOptimize(expr.IsCompiled());
    }
}
BENCHMARK(BM_CompileDateTimeExpression);

void BM_TypeDateTimeText(benchmark::State& state)
{
    TcxRegExpr expr;
    expr.Compile(DateTimeExpression());
    const std::string text = "12/31/2004 11:59:59 PM";
    for (auto _ : state) {
        expr.Reset();
        for (char ch : text) {
            char typed = ch;
            benchmark::DoNotOptimize(expr.Next(typed));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_TypeDateTimeText);

void BM_FormatStandardDateTimeMask(benchmark::State& state)
{
    TcxStandardMask mask;
    mask.Compile(cxFormatController()->StandardDateTimeEditMask());
    for (auto _ : state) {
        std::string text = "12312004115959PM";
        mask.Format(text);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_FormatStandardDateTimeMask);

}  // namespace

BENCHMARK_MAIN();
