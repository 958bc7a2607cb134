#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What each test catches: per-test coverage, then mutants on the lines of
the tests that run no line of src/ that another test does not.

  test-worth.py coverage --build B [--out cov.json]
      B: a build of this tree configured with
      -DCMAKE_CXX_FLAGS=--coverage -DDRAVIK_BENCH=OFF; runs each test
      function alone and keeps the lines of src/ it ran.
  test-worth.py mutants --cov cov.json --tree T --build M [--per 3]
                        [--seed 7] [--limit N] [--out mut.jsonl]
      T: a clone of this tree (its src/ is edited and put back, one
      mutant at a time), M: a build of T (-O0 builds fastest). Appends a
      line per mutant: where, what, and the tests that failed.
  test-worth.py report --cov cov.json --mut mut.jsonl
      The tests that alone catch some mutant, and those whose catches are
      all shared, with their lengths.
"""
import argparse, collections, glob, json, os, random, re, subprocess, sys

HERE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SKIP = {'init', 'cleanup', 'initTestCase', 'cleanupTestCase'}
ENV = dict(os.environ, QT_QPA_PLATFORM='offscreen', SDL_AUDIODRIVER='dummy', QTEST_DISABLE_STACK_DUMP='1')


def test_files(tests):
    """Test source file -> the test program it is built into."""
    text = open(os.path.join(tests, 'CMakeLists.txt')).read()
    out = {}
    for m in re.finditer(r'^dravik_test\((\w+)([^)]*)\)', text, re.M):
        name, rest = m.group(1), m.group(2)
        files = re.findall(r'(\w+\.cpp)', rest.split(' LIBS ')[0]) or [name + '.cpp']
        for f in files:
            out[f] = name
    return out


def functions(tests):
    """(program, file, function, first line, length) of every test function."""
    for f, prog in test_files(tests).items():
        src = open(os.path.join(tests, f)).read().split('\n')
        for i, line in enumerate(src):
            m = re.match(r'^    void (\w+)\(\)\s*$', line)
            if m and m.group(1) not in SKIP and not m.group(1).endswith('_data'):
                j = i + 1
                while j < len(src) and src[j] != '    }':
                    j += 1
                yield prog, f, m.group(1), j - i + 2


def coverage(args):
    run_env = dict(ENV, XDG_RUNTIME_DIR=os.path.join(args.build, 'test-worth-runtime'))
    os.makedirs(run_env['XDG_RUNTIME_DIR'], exist_ok=True)
    result = {}
    for prog, _, fn, _ in functions(os.path.join(HERE, 'tests')):
        for g in glob.glob(os.path.join(args.build, '**', '*.gcda'), recursive=True):
            os.remove(g)
        subprocess.run([os.path.join(args.build, 'tests', prog), fn], cwd=os.path.join(args.build, 'tests'),
                       env=run_env, capture_output=True, timeout=300)
        lines = set()
        for g in glob.glob(os.path.join(args.build, 'src', '**', '*.gcda'), recursive=True):
            out = subprocess.run(['gcov', '--json-format', '--stdout', g], cwd=os.path.dirname(g),
                                 capture_output=True).stdout
            for part in out.split(b'\n'):
                if not part.strip():
                    continue
                for fl in json.loads(part)['files']:
                    if '/src/' in fl['file'] and 'autogen' not in fl['file']:
                        name = fl['file'].split('/src/', 1)[1]
                        lines |= {f"{name}:{ln['line_number']}" for ln in fl['lines'] if ln['count'] > 0}
        result[f'{prog}:{fn}'] = sorted(lines)
        print(prog, fn, len(lines), flush=True)
    json.dump(result, open(args.out, 'w'))


# Each a pattern and its replacement; None: a number, made one more.
OPS = [(r'==', '!='), (r'!=', '=='), (r'<=', '<'), (r'>=', '>'), (r'(?<![<>=!-])<(?![<=])', '<='),
       (r'(?<![<>=-])>(?![>=])', '>='), (r'&&', '||'), (r'\|\|', '&&'), (r'\btrue\b', 'false'),
       (r'\bfalse\b', 'true'), (r'(?<![\w.])(\d+)(?![\w.])', None), (r' \+ ', ' - '), (r' - ', ' + ')]


def mutations(line):
    code = line.split('//')[0]
    if re.match(r'\s*(#|//|\*|/\*)', line) or 'static_assert' in line:
        return []
    out = []
    for pat, rep in OPS:
        for m in re.finditer(pat, code):
            new = str(int(m.group(1)) + 1) if rep is None else rep
            out.append(line[:m.start()] + new + line[m.end():])
    s = code.strip()
    if s.endswith(';') and not re.match(r'(return|const |static |auto |\w+[ *&]+\w+ ?[=;({])', s):
        out.append(re.sub(r'\S.*$', '; // deleted', line))
    return [m for m in out if m != line]


def shared_only(cov):
    count = collections.Counter(l for lines in cov.values() for l in lines)
    return count, [t for t, lines in cov.items() if lines and all(count[l] > 1 for l in lines)]


def mutants(args):
    cov = json.load(open(args.cov))
    count, candidates = shared_only(cov)
    random.seed(args.seed)
    plan = []
    for t in candidates:
        picked = 0
        for where in sorted(cov[t], key=lambda l: (count[l], random.random())):
            if picked == args.per:
                break
            f, n = where.rsplit(':', 1)
            path = os.path.join(args.tree, 'src', f)
            choices = mutations(open(path).read().split('\n')[int(n) - 1]) if os.path.exists(path) else []
            if choices:
                plan.append((t, f, int(n), random.choice(choices)))
                picked += 1
    done = set()
    if os.path.exists(args.out):
        done = {(d['file'], d['line'], d['new']) for d in map(json.loads, open(args.out))}
    for t, f, n, new in plan[:args.limit]:
        if (f, n, new) in done:
            continue
        path = os.path.join(args.tree, 'src', f)
        original = open(path).read()
        lines = original.split('\n')
        old, lines[n - 1] = lines[n - 1], new
        progs = sorted({k.split(':')[0] for k, v in cov.items() if f'{f}:{n}' in v})
        record = {'for': t, 'file': f, 'line': n, 'old': old, 'new': new}
        try:
            open(path, 'w').write('\n'.join(lines))
            built = subprocess.run(['cmake', '--build', args.build, '-j2', '--target'] + progs, capture_output=True)
            if built.returncode:
                record['status'] = 'nocompile'
            else:
                failed = []
                for prog in progs:
                    try:
                        p = subprocess.run([os.path.join(args.build, 'tests', prog)], env=ENV, capture_output=True,
                                           text=True, timeout=120, cwd=os.path.join(args.build, 'tests'))
                        names = re.findall(r'FAIL!\s*:\s*\w+::(\w+)\(', p.stdout)
                        failed += [f'{prog}:{x}' for x in names] or ([f'{prog}:?crash'] if p.returncode else [])
                    except subprocess.TimeoutExpired:
                        failed.append(f'{prog}:?timeout')
                record.update(status='ok', failed=sorted(set(failed)))
        finally:
            open(path, 'w').write(original)
        open(args.out, 'a').write(json.dumps(record) + '\n')
        print(f, n, record.get('failed', record['status']), flush=True)
    subprocess.run(['cmake', '--build', args.build, '-j2'], capture_output=True)


def report(args):
    cov = json.load(open(args.cov))
    _, candidates = shared_only(cov)
    lengths = {f'{p}:{fn}': n for p, _, fn, n in functions(os.path.join(HERE, 'tests'))}
    records = [d for d in map(json.loads, open(args.mut)) if d['status'] == 'ok']
    kills, alone = collections.Counter(), collections.Counter()
    for d in records:
        named = [x for x in d['failed'] if '?' not in x]
        kills.update(named)
        if len(named) == 1:
            alone[named[0]] += 1
    survived = sum(1 for d in records if not d['failed'])
    by_one = sum(1 for d in records if len([x for x in d['failed'] if '?' not in x]) == 1)
    print(f'{len(cov)} tests, {len(candidates)} run no line of their own')
    print(f'{len(records)} mutants built: {survived} survived, {by_one} caught by one test, '
          f'{len(records) - survived - by_one} by several')
    for title, rows in (('alone catch a mutant', [t for t in candidates if alone[t]]),
                        ('catches all shared', [t for t in candidates if not alone[t]])):
        print(f'{title}: {sum(lengths.get(t, 0) for t in rows)} lines')
        for t in sorted(rows):
            print(f'  {t}  lines {lengths.get(t, 0)}  caught {kills[t]}  alone {alone[t]}')
    for d in records:
        if not d['failed']:
            print(f"survived {d['file']}:{d['line']}: {d['old'].strip()}  ->  {d['new'].strip()}")


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = ap.add_subparsers(dest='cmd', required=True)
    c = sub.add_parser('coverage')
    c.add_argument('--build', required=True)
    c.add_argument('--out', default='cov.json')
    m = sub.add_parser('mutants')
    m.add_argument('--cov', required=True)
    m.add_argument('--tree', required=True)
    m.add_argument('--build', required=True)
    m.add_argument('--per', type=int, default=3)
    m.add_argument('--seed', type=int, default=7)
    m.add_argument('--limit', type=int, default=None)
    m.add_argument('--out', default='mut.jsonl')
    r = sub.add_parser('report')
    r.add_argument('--cov', required=True)
    r.add_argument('--mut', required=True)
    args = ap.parse_args()
    if args.cmd == 'mutants' and os.path.realpath(args.tree) == os.path.realpath(HERE):
        sys.exit('test-worth.py: mutate a clone, not this tree')
    {'coverage': coverage, 'mutants': mutants, 'report': report}[args.cmd](args)


if __name__ == '__main__':
    main()
