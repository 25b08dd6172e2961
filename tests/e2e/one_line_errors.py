"""What every refused command line must look like: exit status 2, nothing on standard output,
and one line on standard error that names what was wrong."""


class OneLineErrors:
    def assert_one_line_error(self, result, *named):
        self.assertEqual(result.returncode, 2)
        self.assertEqual(result.stdout, b"")
        message = result.stderr.decode()
        self.assertEqual(message.count("\n"), 1, message)
        for text in named:
            self.assertIn(text, message)
