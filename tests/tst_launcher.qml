import QtQuick 2.15
import QtTest 1.2
import Dorvik 1.0
import Varnah 1.0

TestCase {
    id: testCase
    name: "Launcher"

    Component {
        id: launcherComponent
        Launcher {}
    }

    Varnah {
        id: env
    }

    function test_launch_data() {
        return [
            { tag: "empty", command: "", output: "" },
            { tag: "blank", command: " \t ", output: "" },
            { tag: "missing program", command: "no-such-program-dorvik --help", output: "" },
            { tag: "echo", command: "echo hello", output: "hello\n" },
            { tag: "quoted argument with spaces", command: 'printf [%s] "two  words" x', output: "[two  words][x]" },
            { tag: "quoted stretch joins neighbours", command: 'printf [%s] a"b c"d', output: "[ab cd]" },
            { tag: "three quotes are one literal quote", command: 'printf [%s] a"""b', output: '[a"b]' },
            { tag: "empty quotes pass nothing", command: 'printf [%s] x "" y', output: "[x][y]" },
            { tag: "no pipe", command: "echo a | wc -l", output: "a | wc -l\n" },
            { tag: "no variables", command: "echo $HOME ${PATH}", output: "$HOME ${PATH}\n" },
            { tag: "no redirection", command: "echo a > dorvik-redirected.txt", output: "a > dorvik-redirected.txt\n" },
            { tag: "no wildcards", command: "echo /*", output: "/*\n" },
            { tag: "standard error dropped", command: 'sh -c "echo out; echo err >&2"', output: "out\n" },
            { tag: "only standard error", command: 'sh -c "echo err >&2"', output: "" },
            { tag: "non-zero exit", command: 'sh -c "printf before; exit 3"', output: "before" },
            { tag: "crash", command: 'sh -c "printf before; kill -SEGV $$"', output: "before" },
            { tag: "NUL byte cuts the text", command: "printf a\\000b", output: "a" },
            { tag: "CRLF kept", command: "printf a\\r\\nb\\n", output: "a\r\nb\n" },
            { tag: "non-ASCII", command: "printf grüße", output: "grüße" },
            { tag: "reading input gets end of input", command: "cat", output: "" },
            { tag: "a folder", command: "/tmp", output: "" },
            { tag: "a file that is not executable", command: "/etc/hostname", output: "" },
            { tag: "exits at once without output", command: "true", output: "" },
            { tag: "closes its output early, runs on", command: 'sh -c "echo early; exec >&-; sleep 0.3; echo late >&2"', output: "early\n" },
        ]
    }

    // The call returns when the program itself ends, with what was written by then; a
    // grandchild that still holds the output pipe is not waited for.
    function test_backgroundGrandchild() {
        const launcher = createTemporaryObject(launcherComponent, testCase)
        const started = Date.now()
        compare(launcher.launch('sh -c "echo parent; (sleep 5; echo late) &"'), "parent\n")
        verify(Date.now() - started < 4000, "waited for the grandchild")
        compare(launcher.launch("echo next"), "next\n")
    }

    function test_launch(data) {
        const launcher = createTemporaryObject(launcherComponent, testCase)
        compare(launcher.launch(data.command), data.output)
    }

    function test_noFileFromRedirection() {
        verify(fixture.enter())
        const launcher = createTemporaryObject(launcherComponent, testCase)
        launcher.launch("echo a > dorvik-redirected.txt")
        verify(!fixture.exists("dorvik-redirected.txt"))
    }

    function test_reuse() {
        const launcher = createTemporaryObject(launcherComponent, testCase)
        for (let i = 0; i < 50; ++i) {
            compare(launcher.launch("echo " + i), i + "\n")
            compare(launcher.launch(i % 2 ? "no-such-program-dorvik" : 'sh -c "echo err >&2"'), "")
        }
    }

    function test_variableSetThroughVarnah() {
        const launcher = createTemporaryObject(launcherComponent, testCase)
        env.setValue("DORVIK_SEEN", "from QML ü")
        compare(launcher.launch("printenv DORVIK_SEEN"), "from QML ü\n")
        env.unset("DORVIK_SEEN")
        compare(launcher.launch("printenv DORVIK_SEEN"), "")
    }

    function test_workingDirectory() {
        verify(fixture.enter())
        const launcher = createTemporaryObject(launcherComponent, testCase)
        compare(launcher.launch("pwd"), fixture.dir + "\n")
    }

    function test_largeOutput() {
        const launcher = createTemporaryObject(launcherComponent, testCase)
        const output = launcher.launch("seq 1 1000000")
        let length = 0
        for (let digits = 1, from = 1; from <= 1000000; ++digits, from *= 10)
            length += (Math.min(from * 10, 1000001) - from) * (digits + 1)
        compare(output.length, length)
        compare(output.slice(0, 6), "1\n2\n3\n")
        compare(output.slice(-15), "999999\n1000000\n")
    }
}
